#include "qt/programma.h"

#include <QApplication>

#include "ecr/driver_predefinito.h"
#include "qt/dialogo_config.h"
#include "qt/icona.h"
#include "qt/schermo_qt.h"
#include "support/nome_programma.h"

namespace borvan::qt {

void prepara_applicazione() {
  QApplication::setApplicationName(nome_programma);
  QApplication::setWindowIcon(icona_programma());
}

Programma::Programma(const QString& cartella, std::unique_ptr<DriverEcr> driver)
    : cartella_eseguibile_(percorsi.dallo_schermo(cartella)),
      errori_(operatore_),
      ambiente_(cartella),
      principale_(cartella_eseguibile_,
                  driver ? std::move(driver)
                         : crea_driver_predefinito(cartella_applicazione(cartella_eseguibile_)),
                  operatore_, errori_, ambiente_),
      finestra_(principale_) {
  ambiente_.imposta_configurazione([this] {
    DialogoConfig dialogo(cartella_eseguibile_, operatore_, errori_, &finestra_);
    dialogo.esegui();
  });
}

bool Programma::avvia() {
  if (!principale_.Form_Load()) return false;
  finestra_.show();
  return true;
}

}  // namespace borvan::qt

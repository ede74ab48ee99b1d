#include <QApplication>
#include <cstdlib>

#include "app/principale.h"
#include "ecr/driver_predefinito.h"
#include "errors/elabora_errore.h"
#include "qt/ambiente_qt.h"
#include "qt/dialogo_config.h"
#include "qt/finestra_principale.h"
#include "qt/icona.h"
#include "qt/operatore_qt.h"

int main(int argc, char* argv[]) {
  // A resident program started where no display exists still runs, on the offscreen screen.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication applicazione(argc, argv);
  QApplication::setApplicationName("BorvanIF");
  QApplication::setWindowIcon(borvan::qt::icona_programma());
  QApplication::setQuitOnLastWindowClosed(false);

  const QString cartella = QCoreApplication::applicationDirPath();
  const std::string cartella_eseguibile = cartella.toLocal8Bit().toStdString();

  borvan::qt::OperatoreQt operatore;
  borvan::ErroriComuni errori(operatore);
  operatore.imposta_errori(errori);
  borvan::qt::AmbienteQt ambiente(cartella);

  borvan::Principale principale(
      cartella_eseguibile,
      borvan::crea_driver_predefinito(borvan::cartella_applicazione(cartella_eseguibile)),
      operatore, errori, ambiente);
  borvan::qt::FinestraPrincipale finestra(principale);
  ambiente.imposta_configurazione([&] {
    borvan::qt::DialogoConfig dialogo(cartella_eseguibile, operatore, errori, &finestra);
    dialogo.esegui();
  });

  ambiente.termina_ai_segnali();
  if (!principale.Form_Load()) return 0;
  finestra.show();
  return QApplication::exec();
}

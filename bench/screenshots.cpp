// Pictures of the program's windows for the documentation: the main window during a job, the
// error dialog and the configuration dialog, saved as PNG into the folder given (default ".").
// Meant to run under xvfb-run, so that the windows are drawn by a real X server.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "app/principale.h"
#include "ecr/driver_predefinito.h"
#include "errors/elabora_errore.h"
#include "qt/ambiente_qt.h"
#include "qt/dialogo_config.h"
#include "qt/dialogo_errore.h"
#include "qt/finestra_principale.h"
#include "qt/operatore_qt.h"
#include "qt/viste.h"

namespace {

bool salva(QWidget& finestra, const QDir& cartella, const char* nome) {
  finestra.show();
  QApplication::processEvents();
  const QString percorso = cartella.filePath(nome);
  const bool salvata = finestra.grab().save(percorso, "PNG");
  std::printf("%s %s\n", salvata ? "written" : "NOT written", qPrintable(percorso));
  finestra.hide();
  return salvata;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication applicazione(argc, argv);
  QApplication::setApplicationName("BorvanIF");
  const QDir destinazione(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("."));
  if (!destinazione.exists() && !QDir().mkpath(destinazione.path())) return 1;

  // An application directory of its own: nothing here polls or prints.
  QTemporaryDir cartella;
  const std::string cartella_eseguibile = cartella.path().toLocal8Bit().toStdString() + "/";
  borvan::qt::OperatoreQt operatore;
  borvan::ErroriComuni errori(operatore);
  operatore.imposta_errori(errori);
  borvan::qt::AmbienteQt ambiente(cartella.path());
  bool tutte = true;

  {
    borvan::Principale principale(
        cartella_eseguibile,
        borvan::crea_driver_predefinito(borvan::cartella_applicazione(cartella_eseguibile)),
        operatore, errori, ambiente);
    borvan::qt::FinestraPrincipale finestra(principale);
    // As in the middle of a job: the register ready, the second line being sent.
    for (const char* riga : {"ARTICOLO 1 1,00", "ARTICOLO 2 2,50", "TOTALE 3,50"})
      principale.List2.AddItem(riga);
    principale.List2.setListIndex(1);
    principale.Label1.setCaption("OK");
    principale.Command2.setVisible(true);
    finestra.vista_lista->aggiorna();
    tutte = salva(finestra, destinazione, "principale.png") && tutte;
  }

  {
    const std::string messaggio =
        "Descrizione : Impossibile trovare il file\r\nSource : BorvanIF\r\nCodice errore : 53\r\n";
    int32_t risposta = 0;
    borvan::qt::DialogoErrore dialogo(messaggio, risposta, operatore, errori);
    dialogo.ensurePolished();
    borvan::qt::collega(dialogo.form().Form, &dialogo, [] {});
    dialogo.form().Form_Load();
    tutte = salva(dialogo, destinazione, "errore.png") && tutte;
  }

  {
    borvan::qt::DialogoConfig dialogo(cartella_eseguibile, operatore, errori);
    dialogo.form().Form_Load();
    tutte = salva(dialogo, destinazione, "config.png") && tutte;
  }
  return tutte ? 0 : 1;
}

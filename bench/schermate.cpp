// Pictures of the program's windows for the documentation: the main window during a job, the
// error dialog and the configuration dialog, saved as PNG into the folder given (default ".").
// Meant to run under xvfb-run, so that the windows are drawn by a real X server.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "qt/dialogo_config.h"
#include "qt/dialogo_errore.h"
#include "qt/programma.h"
#include "qt/viste.h"
#include "support/nome_programma.h"

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
  borvan::qt::prepara_applicazione();
  const QDir destinazione(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("."));
  if (!destinazione.exists() && !QDir().mkpath(destinazione.path())) return 1;

  // An application directory of its own: nothing here polls or prints.
  QTemporaryDir cartella;
  borvan::qt::Programma programma(cartella.path());
  borvan::qt::OperatoreQt& operatore = programma.operatore();
  borvan::ErroriComuni& errori = programma.errori();
  bool tutte = true;

  {
    borvan::Principale& principale = programma.principale();
    // As in the middle of a job: the register ready, the second line being sent.
    for (const char* riga : {"ARTICOLO 1 1,00", "ARTICOLO 2 2,50", "TOTALE 3,50"})
      principale.List2.AddItem(riga);
    principale.List2.setListIndex(1);
    principale.Label1.setCaption("OK");
    principale.Command2.setVisible(true);
    programma.finestra().vista_lista->aggiorna();
    tutte = salva(programma.finestra(), destinazione, "principale.png") && tutte;
  }

  {
    const std::string messaggio =
        std::string("Descrizione : Impossibile trovare il file\r\nSource : ") +
        borvan::nome_programma + "\r\nCodice errore : 53\r\n";
    int32_t risposta = 0;
    borvan::qt::DialogoErrore dialogo(messaggio, risposta, operatore, errori);
    dialogo.ensurePolished();
    borvan::qt::collega(dialogo.form().Form, &dialogo, [] {});
    dialogo.form().Form_Load();
    tutte = salva(dialogo, destinazione, "errore.png") && tutte;
  }

  {
    borvan::qt::DialogoConfig dialogo(programma.cartella_eseguibile(), operatore, errori);
    dialogo.form().Form_Load();
    tutte = salva(dialogo, destinazione, "config.png") && tutte;
  }
  return tutte ? 0 : 1;
}

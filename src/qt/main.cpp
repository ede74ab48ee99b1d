#include <QApplication>

#include "qt/programma.h"

int main(int argc, char* argv[]) {
  // A resident program started where no display exists still runs, on the offscreen screen.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication applicazione(argc, argv);
  borvan::qt::prepara_applicazione();
  QApplication::setQuitOnLastWindowClosed(false);

  borvan::qt::Programma programma(QCoreApplication::applicationDirPath());
  programma.ambiente().termina_ai_segnali(
      [&programma] { programma.principale().termina_programma(); });
  if (!programma.avvia()) return 0;
  return QApplication::exec();
}

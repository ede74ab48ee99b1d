#include "qt/finestra_principale.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "qt/disegno.h"
#include "qt/protetto.h"
#include "qt/sorveglianza.h"

namespace borvan::qt {

namespace {

// The program's event loop, for as long as a register control waits inside its call.
void elabora_eventi(int32_t millisecondi) {
  QEventLoop ciclo;
  QTimer::singleShot(std::max(millisecondi, 0), Qt::PreciseTimer, &ciclo, &QEventLoop::quit);
  ciclo.exec();
}

}  // namespace

FinestraPrincipale::FinestraPrincipale(Principale& principale)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      principale_(principale) {
  setObjectName("Principale");
  crea_controlli(this, Principale::disegno);
  label1 = controllo<QLabel>(this, "Label1");
  label2 = controllo<QLabel>(this, "Label2");
  list2 = controllo<QListView>(this, "List2");
  command1 = controllo<QPushButton>(this, "Command1");
  command2 = controllo<QPushButton>(this, "Command2");
  command3 = controllo<QPushButton>(this, "Command3");
  command4 = controllo<QPushButton>(this, "Command4");

  collega(principale.Label1, label1);
  collega(principale.Label2, label2);
  vista_lista = new VistaLista(principale.List2, list2);
  collega(principale.Command1, command1, [&principale] { principale.Command1_Click(); });
  collega(principale.Command2, command2, [&principale] { principale.Command2_Click(); });
  collega(principale.Command3, command3, [&principale] { principale.Command3_Click(); });
  collega(principale.Command4, command4, [&principale] { principale.Command4_Click(); });
  new VistaTimer(
      principale.Timer1, [&principale] { principale.Timer1_Timer(); }, this);
  new VistaTimer(
      principale.Timer2, [&principale] { principale.Timer2_Timer(); }, this);
  new VistaTimer(
      principale.Timer3, [&principale] { principale.Timer3_Timer(); }, this);
  new VistaTimer(
      principale.guardia, [&principale] { principale.guardia_Timer(); }, this);
  new VistaSorveglianza(
      principale.sorveglianza, [&principale] { principale.cartella_cambiata(); }, this);
  collega(principale.Form, this, [] {});
  principale.CoEcrCom1.imposta_ciclo_eventi(elabora_eventi);
}

void FinestraPrincipale::closeEvent(QCloseEvent* evento) {
  evento->ignore();
  protetto([this] { principale_.Command3_Click(); });
}

}  // namespace borvan::qt

#include "qt/finestra_principale.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "qt/schermo_qt.h"
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
  setFixedSize(pixel(Principale::larghezza_twips), pixel(Principale::altezza_twips));
  setFont(carattere_moduli());

  label2 = new QLabel(this);
  label2->setObjectName("Label2");
  label2->setGeometry(rettangolo(120, 300, 2025, 225));
  label1 = new QLabel(this);
  label1->setObjectName("Label1");
  label1->setGeometry(rettangolo(2220, 210, 2085, 345));
  label1->setFont(carattere_moduli(9.75));
  list2 = new QListView(this);
  list2->setObjectName("List2");
  list2->setGeometry(rettangolo(120, 630, 4185, 1815));
  list2->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list2->setSelectionMode(QAbstractItemView::SingleSelection);

  command1 = pulsante(this, "Command1", rettangolo(120, 2580, 2025, 435));
  command2 = pulsante(this, "Command2", rettangolo(2220, 2580, 2085, 435));
  command3 = pulsante(this, "Command3", rettangolo(120, 3090, 2025, 435));
  command4 = pulsante(this, "Command4", rettangolo(2220, 3090, 2085, 435));

  // Tab order: the buttons of the first row, the list, then the second row.
  setTabOrder(command1, command2);
  setTabOrder(command2, list2);
  setTabOrder(list2, command3);
  setTabOrder(command3, command4);

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
  new VistaSorveglianza(
      principale.sorveglianza, [&principale] { principale.cartella_cambiata(); }, this);
  collega(principale.Form, this, [] {});
  principale.CoEcrCom1.imposta_ciclo_eventi(elabora_eventi);
}

void FinestraPrincipale::closeEvent(QCloseEvent* evento) {
  evento->ignore();
  principale_.Command3_Click();
}

}  // namespace borvan::qt

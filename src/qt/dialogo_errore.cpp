#include "qt/dialogo_errore.h"

#include <QFrame>

#include "qt/schermo_qt.h"
#include "qt/viste.h"

namespace borvan::qt {

namespace {

QPushButton* pulsante_grafico(QWidget* genitore, const char* nome, QRect dove, const char* colore) {
  QPushButton* p = pulsante(genitore, nome, dove);
  p->setStyleSheet(QString("QPushButton { background-color: %1; border: 2px outset %1; }"
                           "QPushButton:pressed { border-style: inset; }"
                           "QPushButton:focus { border: 2px dotted black; }")
                       .arg(colore));
  p->setFont(carattere_moduli(9.75, true));
  return p;
}

}  // namespace

DialogoErrore::DialogoErrore(const std::string& testo_errore, int32_t& risposta_errore,
                             Operatore& operatore, GestoreErrori& errori, QWidget* genitore)
    : QDialog(genitore, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint),
      form_(testo_errore, risposta_errore, operatore, errori) {
  setObjectName("Form_errore");
  setModal(true);
  setFixedSize(pixel(Form_errore::larghezza_twips), pixel(Form_errore::altezza_twips));
  setFont(carattere_moduli(8.25, true));

  sstab1 = new QTabWidget(this);
  sstab1->setObjectName("SSTab1");
  sstab1->setGeometry(0, 0, width(), height());
  sstab1->addTab(new QWidget, "Descrizione errore");
  sstab1->addTab(new QWidget, "Dettagli");
  // The first tab's controls stand on the window, at their places in it, above the tab frame;
  // they are shown only while their tab is.
  QWidget* descrizione = this;
  auto posto = [](double l, double t, double w, double h) { return rettangolo(l, t, w, h); };

  auto* picture1 = new QFrame(descrizione);
  picture1->setObjectName("Picture1");
  picture1->setFrameShape(QFrame::Panel);
  picture1->setFrameShadow(QFrame::Sunken);
  picture1->setGeometry(posto(120, 810, 1515, 1485));
  label1 = new QLabel(descrizione);
  label1->setObjectName("Label1");
  label1->setGeometry(posto(1770, 420, 5295, 1275));
  label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1->setWordWrap(true);
  command1 = pulsante_grafico(descrizione, "Command1", posto(1770, 1770, 2685, 1155), "#00ff00");
  command2 = pulsante_grafico(descrizione, "Command2", posto(4530, 1770, 2535, 1155), "#ff8000");
  const QList<QWidget*> primo_tab = {picture1, label1, command1, command2};
  connect(sstab1, &QTabWidget::currentChanged, this, [primo_tab](int indice) {
    for (QWidget* controllo : primo_tab) controllo->setVisible(indice == 0);
  });
  label2 = new QLabel(descrizione);
  label2->setObjectName("Label2");
  label2->setGeometry(posto(300, 2730, 255, 315));
  label2->hide();

  collega(form_.Label1, label1);
  collega(form_.Label2, label2);
  collega(form_.SSTab1, sstab1);
  collega(form_.Command1, command1, [this] { form_.Command1_Click(); });
  collega(form_.Command2, command2, [this] { form_.Command2_Click(); });
  new VistaTimer(
      form_.Timer1, [this] { form_.Timer1_Timer(); }, this);

  anteprima_tasti(this, {13, 27}, [this](int16_t& codice) { form_.Form_KeyPress(codice); });
}

void DialogoErrore::esegui() {
  ensurePolished();
  collega(form_.Form, this, [this] { done(0); });
  form_.Form_Load();
  if (!form_.Form.scaricata()) exec();
}

}  // namespace borvan::qt

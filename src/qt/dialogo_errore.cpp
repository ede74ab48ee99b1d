#include "qt/dialogo_errore.h"

#include <QFrame>

#include "qt/disegno.h"
#include "qt/viste.h"

namespace borvan::qt {

DialogoErrore::DialogoErrore(const std::string& testo_errore, int32_t& risposta_errore,
                             Operatore& operatore, GestoreErrori& errori, QWidget* genitore)
    : QDialog(genitore, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint),
      form_(testo_errore, risposta_errore, operatore, errori) {
  setObjectName("Form_errore");
  setModal(true);
  crea_controlli(this, Form_errore::disegno);
  sstab1 = controllo<QTabWidget>(this, "SSTab1");
  label1 = controllo<QLabel>(this, "Label1");
  label2 = controllo<QLabel>(this, "Label2");
  command1 = controllo<QPushButton>(this, "Command1");
  command2 = controllo<QPushButton>(this, "Command2");
  // The message, however long, from the top, as the system's labels show it.
  label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1->setWordWrap(true);
  // The first tab's controls stand on the window, at their places in it, above the tab frame;
  // they are shown only while their tab is.
  const QList<QWidget*> primo_tab = {controllo<QFrame>(this, "Picture1"), label1, command1,
                                     command2};
  connect(sstab1, &QTabWidget::currentChanged, this, [primo_tab](int indice) {
    for (QWidget* widget : primo_tab) widget->setVisible(indice == 0);
  });

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

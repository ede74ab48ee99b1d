#include "qt/dialogo_config.h"

#include <QLocale>
#include <initializer_list>

#include "qt/disegno.h"
#include "qt/viste.h"

namespace borvan::qt {

namespace {

// Where the system has none of the forms' narrow fonts and a caption does not fit its place,
// all of them are condensed, then made smaller together, rather than cut.
void adatta_al_posto(std::initializer_list<QLabel*> etichette) {
  QFont carattere = (*etichette.begin())->font();
  auto entrano = [&] {
    const QFontMetrics misure(carattere);
    for (const QLabel* l : etichette)
      if (misure.horizontalAdvance(l->text()) > l->width()) return false;
    return true;
  };
  if (entrano()) return;
  carattere.setStretch(QFont::Condensed);
  while (!entrano() && carattere.pointSizeF() > 6)
    carattere.setPointSizeF(carattere.pointSizeF() - 0.25);
  for (QLabel* l : etichette) l->setFont(carattere);
}

}  // namespace

char separatore_decimale_utente() {
  // Any other separator would be read back by the main window as the end of the number.
  const QString punto = QLocale::system().decimalPoint();
  return punto == "," ? ',' : '.';
}

DialogoConfig::DialogoConfig(const std::string& cartella_eseguibile, Operatore& operatore,
                             GestoreErrori& errori, QWidget* genitore)
    : QDialog(genitore, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint),
      form_(cartella_eseguibile, operatore, errori, separatore_decimale_utente()) {
  setObjectName("Config");
  setModal(true);
  crea_controlli(this, Config::disegno);
  label1 = controllo<QLabel>(this, "Label1");
  label2 = controllo<QLabel>(this, "Label2");
  label3 = controllo<QLabel>(this, "Label3");
  label4 = controllo<QLabel>(this, "Label4");
  label5 = controllo<QLabel>(this, "Label5");
  label6 = controllo<QLabel>(this, "Label6");
  text1 = controllo<QLineEdit>(this, "Text1");
  text2 = controllo<QLineEdit>(this, "Text2");
  text3 = controllo<QLineEdit>(this, "Text3");
  text4 = controllo<QLineEdit>(this, "Text4");
  text5 = controllo<QLineEdit>(this, "Text5");
  text6 = controllo<QLineEdit>(this, "Text6");
  check1 = controllo<QCheckBox>(this, "Check1");
  command1 = controllo<QPushButton>(this, "Command1");
  command2 = controllo<QPushButton>(this, "Command2");
  command3 = controllo<QPushButton>(this, "Command3");
  command4 = controllo<QPushButton>(this, "Command4");
  command5 = controllo<QPushButton>(this, "Command5");
  command6 = controllo<QPushButton>(this, "Command6");
  text1->setFocus();

  collega(form_.Label1, label1);
  collega(form_.Label2, label2);
  collega(form_.Label3, label3);
  collega(form_.Label4, label4);
  collega(form_.Label5, label5);
  collega(form_.Label6, label6);
  adatta_al_posto({label1, label2, label3, label4, label5, label6});
  collega(form_.Text1, text1, percorsi);
  collega(form_.Text2, text2, percorsi);
  collega(form_.Text3, text3);
  collega(form_.Text4, text4, percorsi);
  collega(form_.Text5, text5);
  collega(form_.Text6, text6);
  collega(form_.Check1, check1);
  collega(form_.Command1, command1, [this] { form_.Command1_Click(); });
  collega(form_.Command2, command2, [this] { form_.Command2_Click(); });
  collega(form_.Command3, command3, [this] { form_.Command3_Click(); });
  collega(form_.Command4, command4, [this] { form_.Command4_Click(); });
  collega(form_.Command5, command5, [this] { form_.Command5_Click(); });
  collega(form_.Command6, command6, [this] { form_.Command6_Click(); });
  collega(form_.Form, this, [this] { done(QDialog::Rejected); });

  anteprima_tasti(this, {27}, [this](int16_t& codice) { form_.Form_KeyPress(codice); });
}

void DialogoConfig::esegui() {
  form_.Form_Load();
  if (!form_.Form.scaricata()) exec();
}

void DialogoConfig::reject() {
  form_.Command5_Click();
  if (isVisible()) QDialog::reject();
}

}  // namespace borvan::qt

#include "qt/dialogo_config.h"

#include <QLocale>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <initializer_list>
#include <iterator>

#include "qt/schermo_qt.h"
#include "qt/viste.h"

namespace borvan::qt {

namespace {

// A graphical button: its picture above its caption, both centred.
class PulsanteGrafico : public QPushButton {
 public:
  PulsanteGrafico(QStyle::StandardPixmap immagine, QWidget* genitore)
      : QPushButton(genitore), immagine_(immagine) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter pittore(this);
    QStyleOptionButton opzioni;
    initStyleOption(&opzioni);
    opzioni.text.clear();
    opzioni.icon = QIcon();
    pittore.drawControl(QStyle::CE_PushButton, opzioni);
    const int lato = 24;
    const int altezza_testo = fontMetrics().height();
    const int top = (height() - lato - altezza_testo) / 2;
    const QRect dove_immagine((width() - lato) / 2, top, lato, lato);
    style()->standardIcon(immagine_, nullptr, this).paint(&pittore, dove_immagine);
    pittore.drawItemText(QRect(0, top + lato, width(), altezza_testo), Qt::AlignCenter, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
  }

 private:
  QStyle::StandardPixmap immagine_;
};

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
  setFixedSize(pixel(Config::larghezza_twips), pixel(Config::altezza_twips));
  setFont(carattere_moduli());

  auto etichetta = [this](const char* nome, QRect dove) {
    auto* l = new QLabel(this);
    l->setObjectName(nome);
    l->setGeometry(dove);
    l->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return l;
  };
  auto casella = [this](const char* nome, QRect dove) {
    auto* t = new QLineEdit(this);
    t->setObjectName(nome);
    t->setGeometry(dove);
    return t;
  };
  // No button is pressed by Enter: none is the default, none becomes it by taking the focus.
  auto pulsante = [this](const char* nome, QRect dove, QPushButton* p = nullptr) {
    return qt::pulsante(this, nome, dove, p);
  };

  label3 = etichetta("Label3", rettangolo(90, 90, 2385, 285));
  text3 = casella("Text3", rettangolo(2520, 60, 795, 285));
  label1 = etichetta("Label1", rettangolo(90, 420, 2385, 285));
  text1 = casella("Text1", rettangolo(2520, 390, 4485, 285));
  command1 = pulsante("Command1", rettangolo(7050, 390, 375, 285));
  label5 = etichetta("Label5", rettangolo(90, 750, 2385, 285));
  text5 = casella("Text5", rettangolo(2520, 720, 1125, 285));
  label6 = etichetta("Label6", rettangolo(90, 1080, 2385, 285));
  text6 = casella("Text6", rettangolo(2520, 1050, 1125, 285));
  label2 = etichetta("Label2", rettangolo(30, 1410, 2445, 285));
  text2 = casella("Text2", rettangolo(2520, 1380, 4485, 285));
  command2 = pulsante("Command2", rettangolo(7050, 1380, 375, 285));
  check1 = new QCheckBox("Messaggio a schermo su errore", this);
  check1->setObjectName("Check1");
  check1->setGeometry(rettangolo(2520, 1740, 4275, 255));
  label4 = etichetta("Label4", rettangolo(30, 2100, 2445, 285));
  text4 = casella("Text4", rettangolo(2520, 2070, 4485, 285));
  command3 = pulsante("Command3", rettangolo(7050, 2070, 375, 285));
  command4 = pulsante("Command4", rettangolo(7590, 60, 1095, 855),
                      new PulsanteGrafico(QStyle::SP_DialogOkButton, this));
  command6 = pulsante("Command6", rettangolo(7590, 990, 1095, 375));
  command5 = pulsante("Command5", rettangolo(7590, 1410, 1095, 945),
                      new PulsanteGrafico(QStyle::SP_DialogCancelButton, this));

  QWidget* const ordine[] = {text1,    command1, text2, command2, text3,    check1,  text4,
                             command3, text5,    text6, command4, command5, command6};
  for (size_t i = 0; i + 1 < std::size(ordine); ++i) setTabOrder(ordine[i], ordine[i + 1]);
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

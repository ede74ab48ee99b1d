#include "qt/pulsante_grafico.h"

#include <QColor>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "qt/schermo_qt.h"

namespace borvan::qt {

namespace {

// Its picture above its caption, both centred.
class PulsanteFigurato : public QPushButton {
 public:
  PulsanteFigurato(QStyle::StandardPixmap immagine, QWidget* genitore)
      : QPushButton(genitore), immagine_(immagine) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter pittore(this);
    QStyleOptionButton opzioni;
    initStyleOption(&opzioni);
    opzioni.text.clear();
    opzioni.icon = QIcon();
    pittore.drawControl(QStyle::CE_PushButton, opzioni);
    const int lato = pixel(lato_figura);
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

}  // namespace

QPushButton* pulsante_grafico(QWidget* genitore, const DisegnoControllo& disegno) {
  QPushButton* pulsante =
      disegno.figura == Figura::nessuna
          ? new QPushButton(genitore)
          : new PulsanteFigurato(disegno.figura == Figura::conferma ? QStyle::SP_DialogOkButton
                                                                    : QStyle::SP_DialogCancelButton,
                                 genitore);
  if (disegno.sfondo) {
    const QString colore =
        QColor(disegno.sfondo->rosso, disegno.sfondo->verde, disegno.sfondo->blu).name();
    pulsante->setStyleSheet(QString("QPushButton { background-color: %1; border: 2px outset %1; }"
                                    "QPushButton:pressed { border-style: inset; }"
                                    "QPushButton:focus { border: 2px dotted black; }")
                                .arg(colore));
  }
  return pulsante;
}

}  // namespace borvan::qt

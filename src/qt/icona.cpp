#include "qt/icona.h"

#include <QPainter>
#include <QPixmap>

namespace borvan::qt {

QIcon icona_programma() {
  QPixmap immagine(32, 32);
  immagine.fill(Qt::transparent);
  QPainter pittore(&immagine);
  // The register's body, and the receipt standing out of its slot.
  pittore.setPen(QColor(40, 40, 40));
  pittore.setBrush(QColor(70, 90, 140));
  pittore.drawRoundedRect(2, 16, 27, 14, 3, 3);
  pittore.setBrush(Qt::white);
  pittore.drawRect(9, 2, 14, 18);
  pittore.setPen(QColor(120, 120, 120));
  for (int y = 6; y <= 14; y += 4) pittore.drawLine(12, y, 20, y);
  pittore.setPen(QColor(230, 200, 60));
  pittore.setBrush(QColor(230, 200, 60));
  pittore.drawRect(6, 22, 4, 3);
  return QIcon(immagine);
}

}  // namespace borvan::qt

#pragma once

// Where the core meets the screen: twips and the program's 8-bit texts.

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

namespace borvan::qt {

// 15 twips are one pixel at 96 dpi.
inline constexpr int twips_per_pixel = 15;

inline int pixel(double twips) {
  return static_cast<int>(twips / twips_per_pixel + 0.5);
}
inline double twips(int pixel) {
  return static_cast<double>(pixel) * twips_per_pixel;
}
inline QRect rettangolo(double left, double top, double width, double height) {
  return {pixel(left), pixel(top), pixel(width), pixel(height)};
}

// The windows were laid out for a narrow sans serif of 8.25 points: the first of these that
// the system has keeps their captions inside their controls.
inline QFont carattere_moduli(double punti = 8.25, bool grassetto = false) {
  QFont carattere;
  carattere.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial",
                         "DejaVu Sans Condensed", "DejaVu Sans"});
  carattere.setPointSizeF(punti);
  carattere.setBold(grassetto);
  return carattere;
}

// The texts are the 8-bit bytes of the files; the screen shows them as Latin-1, the 8-bit
// set that the point-of-sale programs' code page extends.
inline QString a_schermo(const std::string& testo) {
  return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
}
inline std::string dallo_schermo(const QString& testo) {
  const QByteArray byte = testo.toLatin1();
  return {byte.constData(), static_cast<size_t>(byte.size())};
}

}  // namespace borvan::qt

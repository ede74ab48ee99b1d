#pragma once

// Where the core meets the screen: twips and the program's 8-bit texts.

#include <QFile>
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

// The only two conversions between the core's 8-bit strings and the screen's texts.
struct Conversione {
  QString (*a_schermo)(const std::string&);
  std::string (*dallo_schermo)(const QString&);
};

// The program's texts (captions, messages, command lines) are the 8-bit bytes of its files; the
// screen shows them as Latin-1, the 8-bit set that the point-of-sale programs' code page extends.
inline constexpr Conversione testi{
    [](const std::string& testo) {
      return QString::fromLatin1(testo.data(), static_cast<qsizetype>(testo.size()));
    },
    [](const QString& testo) {
      const QByteArray byte = testo.toLatin1();
      return std::string(byte.constData(), static_cast<size_t>(byte.size()));
    }};

// File and folder names are the system's 8-bit names: a folder called "citta'" with its accent
// is shown as the file system spells it and comes back byte for byte.
inline constexpr Conversione percorsi{
    [](const std::string& percorso) {
      return QFile::decodeName(
          QByteArray(percorso.data(), static_cast<qsizetype>(percorso.size())));
    },
    [](const QString& percorso) {
      const QByteArray byte = QFile::encodeName(percorso);
      return std::string(byte.constData(), static_cast<size_t>(byte.size()));
    }};

}  // namespace borvan::qt

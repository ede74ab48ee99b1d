#pragma once

// Where the core meets the screen: twips and the program's 8-bit texts.

#include <QFile>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

#include "support/disegno.h"

namespace borvan::qt {

// 15 twips are one pixel at 96 dpi.
inline constexpr int twips_per_pixel = 15;

inline int pixel(double twips) {
  return static_cast<int>(twips / twips_per_pixel + 0.5);
}
inline double twips(int pixel) {
  return static_cast<double>(pixel) * twips_per_pixel;
}
inline QRect rettangolo(const Rettangolo& r) {
  return {pixel(r.left), pixel(r.top), pixel(r.width), pixel(r.height)};
}

// The windows were laid out for a narrow sans serif: the first of these that the system has
// keeps their captions inside their controls.
inline QFont carattere_moduli(const Carattere& disegno) {
  QFont carattere;
  carattere.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial",
                         "DejaVu Sans Condensed", "DejaVu Sans"});
  carattere.setPointSizeF(disegno.punti);
  carattere.setBold(disegno.grassetto);
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

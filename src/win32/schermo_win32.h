#pragma once

// Where the core meets the screen: twips at the system's dots per inch, and the forms' fonts.

#include <windows.h>

#include <map>
#include <utility>

#include "support/disegno.h"

namespace borvan::win32 {

// The screen's dots per inch: 96 unless the user chose larger text.
int punti_per_pollice();

// 1440 twips are one inch: 15 to a pixel at 96 dpi.
int pixel(double twips);
double twips(int pixel);

// A control's place in pixels, from its design in twips.
struct Posto {
  int x = 0, y = 0, larghezza = 0, altezza = 0;
};
Posto posto(const Rettangolo& twips);

// The forms' fonts. The windows were laid out for "MS Sans Serif", a bitmap font that comes in a
// few sizes only: its outline twin "Microsoft Sans Serif" takes its place, so that captions keep
// their width at 150 and 200 %; where the system lacks both, the nearest narrow sans serif. One
// font per size and weight, made when first asked for and kept until the cache goes.
class Caratteri {
 public:
  Caratteri() = default;
  ~Caratteri();
  Caratteri(const Caratteri&) = delete;
  Caratteri& operator=(const Caratteri&) = delete;

  HFONT carattere(const Carattere& disegno = {});

 private:
  std::map<std::pair<double, bool>, HFONT> fatti_;
};

}  // namespace borvan::win32

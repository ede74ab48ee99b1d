#pragma once

// Where the core meets the screen: twips at the system's dots per inch, and the forms' fonts.

#include <windows.h>

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
Posto posto(double left, double top, double width, double height);

// The windows were laid out for "MS Sans Serif" 8.25 points; where the system lacks it, the
// nearest narrow sans serif it has. One font per size and weight, for the program's life.
HFONT carattere_moduli(double punti = 8.25, bool grassetto = false);

}  // namespace borvan::win32

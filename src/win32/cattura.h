#pragma once

// Pictures of windows as they stand on the screen, for the documentation: the program's own
// (borvan_schermate_win32) and the installer's pages (its tests).

#include <windows.h>

#include <string>

namespace borvan::win32 {

// Saves the window, frame included, as a 24-bit BMP, once it has been redrawn; true when saved.
bool salva_finestra(HWND finestra, const std::string& percorso);

}  // namespace borvan::win32

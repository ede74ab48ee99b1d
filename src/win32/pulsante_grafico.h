#pragma once

// The graphical buttons: drawn by the program, with a background colour of their own or a
// picture above the caption.

#include <windows.h>

#include "support/disegno.h"
#include "win32/modulo.h"

namespace borvan::win32 {

HWND pulsante_grafico(Modulo& modulo, const DisegnoControllo& disegno);

}  // namespace borvan::win32

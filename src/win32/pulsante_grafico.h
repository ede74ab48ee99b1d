#pragma once

// The graphical buttons: drawn by the program, with a background colour of their own or a
// picture above the caption.

#include <windows.h>

#include "win32/modulo.h"

namespace borvan::win32 {

enum class Figura { nessuna, conferma, annulla };

HWND pulsante_grafico(Modulo& modulo, const char* testo, Posto dove, COLORREF sfondo,
                      Figura figura = Figura::nessuna);

}  // namespace borvan::win32

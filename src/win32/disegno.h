#pragma once

// A form drawn from its design (support/disegno.h).

#include <windows.h>

#include <functional>
#include <map>
#include <string_view>

#include "support/disegno.h"
#include "win32/modulo.h"

namespace borvan::win32 {

// The controls of a form, by the names its design gives them.
using Controlli = std::map<std::string_view, HWND, std::less<>>;

// Creates the form's controls: each at its place, with its caption, font and colours, in the
// design's tab order (the order in which the window's controls are created).
Controlli crea_controlli(Modulo& modulo, const DisegnoModulo& disegno);

}  // namespace borvan::win32

#pragma once

// The process's last word on a crash (Windows): the filter of the exceptions nothing handles.
// The program sets it once. A control built with another runtime may set its own as it loads or
// as it runs, and take the crash report away with it: the driver puts the program's back after
// the control's creation and after each of its calls.

#include <windows.h>

namespace borvan {

// `filtro` from now on, put back by every later rimetti_filtro_arresto().
void imposta_filtro_arresto(LPTOP_LEVEL_EXCEPTION_FILTER filtro) noexcept;
// Sets the program's filter again; nothing while the program has set none.
void rimetti_filtro_arresto() noexcept;

}  // namespace borvan

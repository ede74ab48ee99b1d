#pragma once

// Data execution prevention, and the way out for a register's control that is not ready for
// it. Asked for as the program starts rather than by the image's NX-compatible mark, which on
// 32-bit Windows would also switch off the emulation of the thunks old ATL controls write on
// their data pages. A control that runs other code from data pages (packers, licence checks)
// crashes on its first job with DEP on: that crash leaves a file beside the program, and from
// the next start on the program no longer asks for DEP. Deleting the file asks for it again.

#include <windows.h>

#include <string>

#include "support/nome_programma.h"

namespace borvan::win32 {

inline constexpr const char* nome_senza_protezione = con_nome_programma<".NODEP">;

// Turns DEP on for the process unless `cartella` (the application folder, ending with its
// separator) holds the file. True when the program turned it on and a crash can turn it off:
// never in a 64-bit process, where it is always on.
bool attiva_protezione_esecuzione(const std::string& cartella);

// A crash that DEP caused in code not the program's: an access violation on executing an
// address outside the program's image.
bool esecuzione_da_dati(const EXCEPTION_RECORD& record);

// Leaves the file at `percorso`, saying why and how to go back; allocates nothing, so that a
// crash report can call it whatever state the crash left. True when written.
bool scrivi_senza_protezione(const char* percorso);

}  // namespace borvan::win32

#pragma once

// What the whole DLL shares: its own handle and the count of objects and locks that keeps it
// loaded.

#include <windows.h>

namespace borvan::ecrsim {

extern HMODULE modulo;
void oggetto_creato();
void oggetto_distrutto();

}  // namespace borvan::ecrsim

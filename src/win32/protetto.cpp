#include "win32/protetto.h"

#include <windows.h>

#include <string>

#include "support/nome_programma.h"
#include "support/protetto.h"
#include "win32/ciclo.h"

namespace borvan::win32 {

void protetto(const Ciclo& ciclo, const std::function<void()>& gestore) {
  // The core traps its run-time errors; anything that still escapes must not unwind through
  // the system's message loop.
  if (ciclo.gestori_fermi()) return;
  if (const auto sfuggito = esegui_protetto(gestore))
    OutputDebugStringA(
        (std::string(nome_programma) + ": errore non gestito: " + *sfuggito).c_str());
}

}  // namespace borvan::win32

#include "win32/protetto.h"

#include <windows.h>

#include <exception>
#include <string>

#include "support/nome_programma.h"
#include "win32/ciclo.h"

namespace borvan::win32 {

void protetto(const Ciclo& ciclo, const std::function<void()>& gestore) {
  // The core traps its run-time errors; anything that still escapes must not unwind through
  // the system's message loop.
  if (ciclo.gestori_fermi()) return;
  try {
    gestore();
  } catch (const std::exception& e) {
    OutputDebugStringA((std::string(nome_programma) + ": errore non gestito: " + e.what()).c_str());
  } catch (...) {
    OutputDebugStringA(con_nome_programma<": errore non gestito">);
  }
}

}  // namespace borvan::win32

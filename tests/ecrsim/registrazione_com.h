#pragma once

// ECRSIM.DLL registered in the test's prefix for one scope, as an integrator registers it:
// through regsvr32. Every test that uses it holds the ctest resource lock "registro_com".

#include <windows.h>

#include <string>

#include "comune/processo_windows.h"

namespace borvan::test {

// Runs regsvr32 silently on ECRSIM.DLL; its exit code (0 when it succeeded).
inline DWORD regsvr32(const std::string& opzioni) {
  return esegui("regsvr32.exe /s " + opzioni + " \"" + percorso_windows(ECRSIM_DLL) + "\"");
}

// Registered for the scope's life; unregistered at its end, whatever happened.
struct EcrsimRegistrato {
  DWORD esito = regsvr32("");
  ~EcrsimRegistrato() { regsvr32("/u"); }
};

}  // namespace borvan::test

#pragma once

// ECRSIM.DLL registered in the test's prefix for one scope, as an integrator registers it:
// through regsvr32. Every test that uses it holds the ctest resource lock "registro_com".

#include <windows.h>

#include <string>
#include <utility>

#include "comune/comandi_windows.h"

namespace borvan::test {

// Runs regsvr32 silently on the control (by default the one this build made), from this test's
// architecture: a 32-bit test runs the 32-bit regsvr32. Its exit code (0 when it succeeded).
inline DWORD regsvr32(const std::string& opzioni, const std::string& dll = ECRSIM_DLL) {
  return esegui("regsvr32.exe /s " + opzioni + " \"" + percorso_windows(dll) + "\"").value_or(1);
}

// Registered for the scope's life; unregistered at its end, whatever happened.
struct EcrsimRegistrato {
  explicit EcrsimRegistrato(std::string controllo = ECRSIM_DLL) : dll(std::move(controllo)) {}
  ~EcrsimRegistrato() { regsvr32("/u", dll); }
  const std::string dll;
  const DWORD esito = regsvr32("", dll);
};

}  // namespace borvan::test

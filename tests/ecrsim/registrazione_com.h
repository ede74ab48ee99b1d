#pragma once

// ECRSIM.DLL registered in the test's prefix for one scope, as an integrator registers it:
// through regsvr32. Every test that uses it holds the ctest resource lock "registro_com".

#include <windows.h>

#include <string>

namespace borvan::test {

// The Windows path of a file the build wrote (the build runs on the host: Z: is its root).
inline std::string percorso_windows(std::string percorso) {
  if (!percorso.empty() && percorso[0] == '/') percorso = "Z:" + percorso;
  for (char& c : percorso)
    if (c == '/') c = '\\';
  return percorso;
}

// Runs regsvr32 silently on ECRSIM.DLL; its exit code (0 when it succeeded).
inline DWORD regsvr32(const std::string& opzioni) {
  std::string riga = "regsvr32.exe /s " + opzioni + " \"" + percorso_windows(ECRSIM_DLL) + "\"";
  STARTUPINFOA avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION processo{};
  if (!CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &avvio,
                      &processo))
    return GetLastError();
  WaitForSingleObject(processo.hProcess, 60000);
  DWORD uscita = 1;
  GetExitCodeProcess(processo.hProcess, &uscita);
  CloseHandle(processo.hProcess);
  CloseHandle(processo.hThread);
  return uscita;
}

// Registered for the scope's life; unregistered at its end, whatever happened.
struct EcrsimRegistrato {
  DWORD esito = regsvr32("");
  ~EcrsimRegistrato() { regsvr32("/u"); }
};

}  // namespace borvan::test

#pragma once

// Command lines and paths as a Windows test sees them, under wine, and ECRSIM.DLL registered as
// an integrator registers it. Every test that registers it holds the ctest resource lock
// "registro_com".

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>

namespace borvan::test {

using namespace std::chrono_literals;

// A path as this test reaches it: under wine a file the build wrote is on drive Z:, the host's
// root.
inline std::string percorso_windows(std::string percorso) {
  if (percorso.starts_with("/")) percorso.insert(0, "Z:");
  std::replace(percorso.begin(), percorso.end(), '/', '\\');
  return percorso;
}

// Starts a command line, as typed at a console, in `cartella` (this test's own when empty).
inline std::optional<PROCESS_INFORMATION> lancia(std::string riga,
                                                 const std::string& cartella = "") {
  STARTUPINFOA avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cartella.empty() ? nullptr : cartella.c_str(), &avvio, &info))
    return std::nullopt;
  return info;
}

// Runs a command line and waits for its end: its exit code, or nothing when it could not start
// or did not end within `entro`.
inline std::optional<DWORD> esegui(const std::string& riga,
                                   std::chrono::milliseconds entro = 600s) {
  const std::optional<PROCESS_INFORMATION> info = lancia(riga);
  if (!info) return std::nullopt;
  std::optional<DWORD> uscita;
  DWORD codice = 0;
  if (WaitForSingleObject(info->hProcess, static_cast<DWORD>(entro.count())) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(info->hProcess, &codice))
    uscita = codice;
  CloseHandle(info->hThread);
  CloseHandle(info->hProcess);
  return uscita;
}

#ifdef ECRSIM_DLL
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
#endif

}  // namespace borvan::test

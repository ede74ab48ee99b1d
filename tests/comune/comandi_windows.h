#pragma once

// Command lines and paths as a Windows test sees them, under wine.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

namespace borvan::test {

using namespace std::chrono_literals;

// A path as this test reaches it: under wine a file the build wrote is on drive Z:, the host's
// root.
inline std::string percorso_windows(std::string percorso) {
  if (percorso.starts_with("/")) percorso.insert(0, "Z:");
  std::replace(percorso.begin(), percorso.end(), '/', '\\');
  return percorso;
}

// Runs a command line, as typed at a console, and waits for its end: its exit code, or nothing
// when it could not start or did not end within `entro`.
inline std::optional<DWORD> esegui(std::string riga, std::chrono::milliseconds entro = 600s) {
  STARTUPINFOA avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &avvio,
                      &info))
    return std::nullopt;
  std::optional<DWORD> uscita;
  DWORD codice = 0;
  if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(entro.count())) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(info.hProcess, &codice))
    uscita = codice;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return uscita;
}

}  // namespace borvan::test

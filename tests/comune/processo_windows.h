#pragma once

// Programs the Windows tests run under wine: the Windows path of a file the build wrote, and a
// command line run to its end.

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

// Runs a command line to its end, or ends it after `attesa_ms`; its exit code.
inline DWORD esegui(std::string riga, DWORD attesa_ms = 60000) {
  STARTUPINFOA avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION processo{};
  if (!CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &avvio,
                      &processo))
    return GetLastError();
  WaitForSingleObject(processo.hProcess, attesa_ms);
  DWORD uscita = STILL_ACTIVE;
  GetExitCodeProcess(processo.hProcess, &uscita);
  TerminateProcess(processo.hProcess, 1);
  CloseHandle(processo.hProcess);
  CloseHandle(processo.hThread);
  return uscita;
}

}  // namespace borvan::test

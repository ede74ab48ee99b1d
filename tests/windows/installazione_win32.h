#pragma once

// The real BorvanIF.exe in a folder of its own, as a shop installs it: the program copied in,
// its settings beside it, started as a process, fed command files the way a point-of-sale
// program drops them. Every wait has a generous deadline: wine starts programs slowly, and a
// loaded build machine slower still.

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "comune/cartella_temporanea.h"

namespace borvan::test {

using namespace std::chrono_literals;

// Polls a condition every 20 ms until it holds or 60 seconds have passed.
inline bool attendi(const std::function<bool()>& condizione) {
  const auto limite = std::chrono::steady_clock::now() + 60s;
  for (; std::chrono::steady_clock::now() < limite; std::this_thread::sleep_for(20ms))
    if (condizione()) return true;
  return condizione();
}

// Files by the ANSI functions, as a point-of-sale program written in C reaches them.
inline bool esiste_a(const std::string& percorso) {
  return GetFileAttributesA(percorso.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void scrivi_a(const std::string& percorso, const std::string& contenuto) {
  const HANDLE file = CreateFileA(percorso.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD scritti = 0;
  WriteFile(file, contenuto.data(), static_cast<DWORD>(contenuto.size()), &scritti, nullptr);
  CloseHandle(file);
}

inline std::string leggi_a(const std::string& percorso) {
  const HANDLE file =
      CreateFileA(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string contenuto;
  char blocco[4096];
  DWORD letti = 0;
  while (ReadFile(file, blocco, sizeof blocco, &letti, nullptr) && letti > 0)
    contenuto.append(blocco, letti);
  CloseHandle(file);
  return contenuto;
}

// A job of `righe` numbered lines.
inline std::string comandi(int righe) {
  std::string testo;
  for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + "\r\n";
  return testo;
}

// A running instance of the program, killed when it goes out of scope.
class Processo {
 public:
  explicit Processo(PROCESS_INFORMATION info) : info_(info) {}
  ~Processo() {
    uccidi();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Processo(const Processo&) = delete;
  Processo& operator=(const Processo&) = delete;

  bool in_vita() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD uscita() const {
    DWORD codice = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &codice);
    return codice;
  }
  // Ends it as the task manager would: no step of its own runs.
  void uccidi() {
    if (in_vita()) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 60000);
  }

 private:
  PROCESS_INFORMATION info_;
};

class Installazione : public CartellaTemporanea {
 public:
  // `impostazioni`: the lines of BorvanIF.CFG, after a fast poll and no message boxes (which
  // would wait for a click).
  explicit Installazione(const std::string& impostazioni = "") {
    // The tests run under wine, where the build machine's root is drive Z:.
    const std::string binario = std::string(BORVAN_BINARIO).starts_with("/")
                                    ? "Z:" + std::string(BORVAN_BINARIO)
                                    : std::string(BORVAN_BINARIO);
    CopyFileA(binario.c_str(), programma().c_str(), FALSE);
    scrivi("BorvanIF.CFG", "POLLING_TIME=50\r\nSHOW_ERRORS=0\r\n" + impostazioni);
  }

  std::string cartella_a() const { return percorso(""); }
  std::string programma() const { return percorso("BorvanIF.exe"); }

  std::unique_ptr<Processo> avvia(const std::string& argomenti = "--simulatore") const {
    // The program quoted, then the arguments (built in place: GCC 12 at -O3 takes the plain
    // concatenation for an overlapping copy).
    std::string riga = programma();
    riga.insert(0, 1, '"').append("\" ").append(argomenti);
    STARTUPINFOA avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(programma().c_str(), riga.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cartella_a().c_str(), &avvio, &info))
      return nullptr;
    return std::make_unique<Processo>(info);
  }

  // Drops a command file, written under another name and renamed; waits for its job's end.
  bool lavoro(const std::string& testo, const std::string& comandi = "",
              const std::string& risultato = "") const {
    const std::string file = comandi.empty() ? percorso("Scontr.ECR") : comandi;
    const std::string result = risultato.empty() ? percorso("Result.TXT") : risultato;
    DeleteFileA(result.c_str());
    scrivi_a(file + ".tmp", testo);
    MoveFileA((file + ".tmp").c_str(), file.c_str());
    return attendi([&] { return esiste_a(result) && !esiste_a(file); });
  }
};

}  // namespace borvan::test

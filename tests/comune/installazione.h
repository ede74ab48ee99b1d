#pragma once

// The real program in a folder of its own, as a shop installs it: the binary copied in, its
// settings beside it, started as a process, fed command files the way a point-of-sale program
// drops them. Every wait has a generous deadline: wine starts programs slowly, and a loaded
// build machine slower still.

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "comune/cartella_temporanea.h"

#ifdef _WIN32
#include <windows.h>

#include "comune/comandi_windows.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace borvan::test {

using namespace std::chrono_literals;

#ifdef _WIN32
// Under wine every look at a file is a round trip to its server: looks are rarer.
inline constexpr auto passo = 20ms;
#else
inline constexpr auto passo = 1ms;
#endif

// Polls a condition every `passo` until it holds or `entro` has passed.
inline bool attendi(const std::function<bool()>& condizione,
                    std::chrono::milliseconds entro = 60s) {
  const auto fine = std::chrono::steady_clock::now() + entro;
  for (;; std::this_thread::sleep_for(passo)) {
    if (condizione()) return true;
    if (std::chrono::steady_clock::now() > fine) return false;
  }
}

// A running instance of the program, killed when it goes out of scope.
#ifdef _WIN32
struct Processo {
  PROCESS_INFORMATION info;

  ~Processo() {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 60000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  bool in_vita() { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD uscita() {
    DWORD codice = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &codice);
    return codice;
  }
  // Whether its main window is open: the program has started and polls.
  bool pronto() {
    std::pair<DWORD, bool> cerca{info.dwProcessId, false};
    EnumWindows(cerca_principale, reinterpret_cast<LPARAM>(&cerca));
    return cerca.second;
  }
  // EnumWindows' callback (the system's calling convention): stops at the process's main
  // window.
  static BOOL CALLBACK cerca_principale(HWND finestra, LPARAM dati) {
    auto& [processo, trovata] = *reinterpret_cast<std::pair<DWORD, bool>*>(dati);
    DWORD di = 0;
    char classe[64] = "";
    GetWindowThreadProcessId(finestra, &di);
    GetClassNameA(finestra, classe, sizeof classe);
    trovata = di == processo && std::string(classe) == "BorvanIF_Principale";
    return !trovata;
  }
};
#else
struct Processo {
  const pid_t pid;
  std::optional<int> stato;  // once it has ended: as waitpid() gives it

  ~Processo() {
    if (in_vita()) ::kill(pid, SIGKILL);
    attendi([this] { return !in_vita(); });
  }
  bool in_vita() {
    int fine = 0;
    if (!stato && ::waitpid(pid, &fine, WNOHANG) == pid) stato = fine;
    return !stato;
  }
};
#endif

// A job of `righe` numbered lines.
inline std::string comandi(int righe) {
  std::string testo;
  for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + "\r\n";
  return testo;
}

// The program's folder.
class Installazione : public CartellaTemporanea {
 public:
  // `impostazioni`: the lines of BorvanIF.CFG, after a fast poll and no message boxes (which
  // would wait for a click).
  explicit Installazione(const std::string& impostazioni = "") {
#ifdef _WIN32
    std::filesystem::copy_file(percorso_windows(BORVAN_BINARIO), programma());
#else
    std::filesystem::copy_file(BORVAN_BINARIO, programma());
#endif
    imposta(impostazioni);
  }

  std::string programma() const {
    return percorso(std::filesystem::path(BORVAN_BINARIO).filename().string());
  }

#ifdef _WIN32
  // Started in its folder; `argomenti` after the program's quoted path.
  std::unique_ptr<Processo> avvia(const std::string& argomenti = "--simulatore") const {
    // Built in place: GCC 12 at -O3 takes the plain concatenation for an overlapping copy.
    std::string riga = programma();
    riga.insert(0, 1, '"').append("\" ").append(argomenti);
    STARTUPINFOA avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(programma().c_str(), riga.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        percorso("").c_str(), &avvio, &info))
      return nullptr;
    return std::unique_ptr<Processo>(new Processo{info});
  }
#else
  // Started on the offscreen platform, with `tmpdir` (by default its folder) as TMPDIR; its
  // output goes with the test's.
  std::unique_ptr<Processo> avvia(const std::string& tmpdir = "") const {
    const std::string eseguibile = programma();
    const std::string temporanea = tmpdir.empty() ? cartella() : tmpdir;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("TMPDIR", temporanea.c_str(), 1);
      ::execl(eseguibile.c_str(), eseguibile.c_str(), nullptr);
      ::_exit(127);
    }
    return std::unique_ptr<Processo>(new Processo{pid, {}});
  }
#endif

  // Drops a command file, written under another name and renamed.
  void deponi(const std::string& testo) const {
    scrivi("Scontr.tmp", testo);
    std::filesystem::rename(percorso("Scontr.tmp"), percorso("Scontr.ECR"));
  }
  // Drops a command file and waits for its job's end.
  bool lavoro(const std::string& testo) const {
    std::filesystem::remove(percorso("Result.TXT"));
    deponi(testo);
    return attendi([this] { return esiste("Result.TXT") && !esiste("Scontr.ECR"); });
  }
  // How many lines the paper roll holds.
  size_t righe_stampate() const {
    const std::string rotolo = leggi("ECRSIM.TXT");
    return static_cast<size_t>(std::count(rotolo.begin(), rotolo.end(), '\n'));
  }

 protected:
  // A folder into which the program comes by other means (its installer).
  struct SenzaProgramma {};
  Installazione(SenzaProgramma, const std::string& impostazioni) {
    imposta(impostazioni);
  }

 private:
  void imposta(const std::string& impostazioni) const {
    scrivi("BorvanIF.CFG", "POLLING_TIME=50\r\nSHOW_ERRORS=0\r\n" + impostazioni);
  }
};

}  // namespace borvan::test

#pragma once

// The real program in a folder of its own, as a shop installs it: the binary copied in (or put
// there by its installer), its settings beside it, started as a process, fed command files the
// way a point-of-sale program drops them. Every wait has a generous deadline: wine starts
// programs slowly, and a loaded build machine slower still.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "comune/cartella_temporanea.h"

#ifdef _WIN32
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

// Polls a condition every `ogni` until it holds or `entro` has passed.
inline bool attendi(const std::function<bool()>& condizione, std::chrono::milliseconds entro = 60s,
                    std::chrono::milliseconds ogni = passo) {
  const auto fine = std::chrono::steady_clock::now() + entro;
  for (;; std::this_thread::sleep_for(ogni)) {
    if (condizione()) return true;
    if (std::chrono::steady_clock::now() > fine) return false;
  }
}

// A running instance of the program, killed when it goes out of scope.
#ifdef _WIN32
struct Processo {
  PROCESS_INFORMATION info;

  ~Processo() {
    ferma();
    WaitForSingleObject(info.hProcess, 60000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  bool in_vita() { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  // Its exit code once it has ended.
  std::optional<unsigned long> uscita() {
    DWORD codice = STILL_ACTIVE;
    if (in_vita() || !GetExitCodeProcess(info.hProcess, &codice)) return {};
    return codice;
  }
  void ferma() { TerminateProcess(info.hProcess, 1); }
};
#else
struct Processo {
  const pid_t pid;
  std::optional<int> stato;  // once it has ended: as waitpid() gives it

  ~Processo() {
    if (in_vita()) ferma();
    attendi([this] { return !in_vita(); });
  }
  bool in_vita() {
    int fine = 0;
    if (!stato && ::waitpid(pid, &fine, WNOHANG) == pid) stato = fine;
    return !stato;
  }
  // Its exit code once it has ended; a signal's, as a shell gives it.
  std::optional<unsigned long> uscita() {
    if (in_vita()) return {};
    return WIFEXITED(*stato) ? WEXITSTATUS(*stato) : 128 + WTERMSIG(*stato);
  }
  void ferma(int segnale = SIGKILL) { ::kill(pid, segnale); }
};
#endif

// Whether the process ends within `entro`.
inline bool terminato(Processo& processo, std::chrono::milliseconds entro = 60s) {
  return attendi([&processo] { return !processo.in_vita(); }, entro);
}

// A job of `righe` numbered lines.
inline std::string comandi(int righe) {
  std::string testo;
  for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + "\r\n";
  return testo;
}

// The program's folder.
class Installazione : public CartellaTemporanea {
 public:
  // A folder into which the program comes by other means (its installer).
  struct SenzaProgramma {};

  // `impostazioni`: the lines of BorvanIF.CFG, after a fast poll and no message boxes (which
  // would wait for a click).
  Installazione(SenzaProgramma, const std::string& impostazioni) {
    scrivi("BorvanIF.CFG", "POLLING_TIME=50\r\nSHOW_ERRORS=0\r\n" + impostazioni);
  }
  explicit Installazione(const std::string& impostazioni = "")
      : Installazione(SenzaProgramma{}, impostazioni) {
#ifdef _WIN32
    std::filesystem::copy_file(percorso_windows(BORVAN_BINARIO), programma());
#else
    std::filesystem::copy_file(BORVAN_BINARIO, programma());
#endif
  }

  std::string programma() const {
    return percorso(std::filesystem::path(BORVAN_BINARIO).filename().string());
  }

#ifdef _WIN32
  // Started in its folder; `argomenti` after the program's quoted path.
  std::unique_ptr<Processo> avvia(const std::string& argomenti = "") const {
    // Built in place: GCC 12 at -O3 takes the plain concatenation for an overlapping copy.
    std::string riga = programma();
    riga.insert(0, 1, '"').append("\" ").append(argomenti);
    const std::optional<PROCESS_INFORMATION> info = lancia(riga, percorso(""));
    return info ? std::unique_ptr<Processo>(new Processo{*info}) : nullptr;
  }
  // The control demands its site before InitNew: every job proves the program hosts it as a
  // form does.
  void imposta_registratore(const std::string& impostazioni) const {
    scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + impostazioni);
  }
#else
  // Started on the offscreen platform, each start with a temporary folder of its own: what
  // holds an installation to one instance must not live there. Its output goes with the test's.
  std::unique_ptr<Processo> avvia() const {
    const std::string eseguibile = programma();
    const std::string temporanea = percorso("tmp" + std::to_string(++avvii_));
    std::filesystem::create_directory(temporanea);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("TMPDIR", temporanea.c_str(), 1);
      ::execl(eseguibile.c_str(), eseguibile.c_str(), nullptr);
      ::_exit(127);
    }
    return std::unique_ptr<Processo>(new Processo{pid, {}});
  }
  void imposta_registratore(const std::string& impostazioni) const {
    scrivi("ECRSIM.CFG", impostazioni);
  }
#endif

  // Drops a command file, written under another name and renamed. On Windows a rename over the
  // previous file is refused while the program still looks at that one: it is tried again.
  void deponi(const std::string& testo) const {
    scrivi("Scontr.tmp", testo);
    std::error_code errore;
    attendi([&] {
      std::filesystem::rename(percorso("Scontr.tmp"), percorso("Scontr.ECR"), errore);
      return !errore;
    });
    if (errore) throw std::filesystem::filesystem_error("deponi", errore);
  }
  // The job's end: its outcome written and its command file gone.
  bool finito(std::chrono::milliseconds entro = 60s) const {
    return attendi([this] { return esiste("Result.TXT") && !esiste("Scontr.ECR"); }, entro);
  }
  // Drops a command file and waits for its job's end.
  bool lavoro(const std::string& testo, std::chrono::milliseconds entro = 60s) const {
    std::filesystem::remove(percorso("Result.TXT"));
    deponi(testo);
    return finito(entro);
  }
  // How many lines the paper roll holds.
  size_t righe_stampate() const {
    return conta_righe("ECRSIM.TXT");
  }
  // Start-up notes leave the code empty: they are no outcome.
  size_t esiti_nel_log() const {
    const std::string log = leggi("BorvanIF.LOG");
    size_t esiti = 0;
    for (size_t inizio = 0, fine; (fine = log.find('\n', inizio)) != std::string::npos;
         inizio = fine + 1)
      if (log.substr(inizio, fine - inizio).find("\t\t") == std::string::npos) ++esiti;
    return esiti;
  }

 private:
#ifndef _WIN32
  mutable int avvii_ = 0;
#endif
};

}  // namespace borvan::test

#pragma once

// The real program in a folder of its own, as an integrator installs it: the binary copied in,
// its settings and the simulated register's settings beside it, started as a process on the
// offscreen platform, fed command files the way a point-of-sale program drops them.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "comune/cartella_temporanea.h"

namespace borvan::test {

using namespace std::chrono_literals;

// Polls a condition every millisecond until it holds or `entro` has passed.
inline bool attendi(const std::function<bool()>& condizione,
                    std::chrono::milliseconds entro = 20s) {
  const auto fine = std::chrono::steady_clock::now() + entro;
  for (;; std::this_thread::sleep_for(1ms)) {
    if (condizione()) return true;
    if (std::chrono::steady_clock::now() > fine) return false;
  }
}

// A running instance of the program, killed when it goes out of scope.
struct Processo {
  pid_t pid;
  std::optional<int> uscita;  // the exit status, once it has ended

  ~Processo() {
    if (in_vita()) ::kill(pid, SIGKILL);
    attendi([this] { return !in_vita(); });
  }
  bool in_vita() {
    int stato = 0;
    if (!uscita && ::waitpid(pid, &stato, WNOHANG) == pid) uscita = stato;
    return !uscita;
  }
};

// The program's folder, by default also its TMPDIR.
class Installazione : public CartellaTemporanea {
 public:
  // `impostazioni`: the lines of BorvanIF.CFG, after a fast poll and no message boxes (which
  // would wait forever offscreen).
  explicit Installazione(const std::string& impostazioni = "") {
    std::filesystem::copy_file(BORVAN_BINARIO, percorso("BorvanIF"));
    scrivi("BorvanIF.CFG", "POLLING_TIME=50\r\nSHOW_ERRORS=0\r\n" + impostazioni);
  }

  // Starts the program; its output goes with the test's.
  std::unique_ptr<Processo> avvia(const std::string& tmpdir = "") const {
    const std::string programma = percorso("BorvanIF");
    const std::string cartella = tmpdir.empty() ? this->cartella() : tmpdir;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("TMPDIR", cartella.c_str(), 1);
      ::execl(programma.c_str(), programma.c_str(), nullptr);
      ::_exit(127);
    }
    return std::unique_ptr<Processo>(new Processo{pid, {}});
  }

  // Drops a command file, written under another name and renamed, as the point-of-sale program
  // does.
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
};

}  // namespace borvan::test

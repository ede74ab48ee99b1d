#pragma once

// The real program in a folder of its own, as an integrator installs it: the binary copied in,
// its settings and the simulated register's settings beside it, started as a process on the
// offscreen platform, fed command files the way a point-of-sale program drops them.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "comune/cartella_temporanea.h"

extern char** environ;

namespace borvan::test {

using namespace std::chrono_literals;

// Polls a condition every 20 ms until it holds or the time runs out.
inline bool attendi(const std::function<bool()>& condizione,
                    std::chrono::milliseconds limite = 10s) {
  const auto fine = std::chrono::steady_clock::now() + limite;
  while (!condizione()) {
    if (std::chrono::steady_clock::now() >= fine) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// A running instance of the program. Ended (SIGTERM, then SIGKILL) when it goes out of scope.
class Processo {
 public:
  explicit Processo(pid_t pid) : pid_(pid) {}
  ~Processo() { termina(); }
  Processo(const Processo&) = delete;
  Processo& operator=(const Processo&) = delete;

  bool in_vita() { return aggiorna(); }

  // The exit status, once the process has ended within the time given.
  std::optional<int> attendi_uscita(std::chrono::milliseconds limite) {
    if (!attendi([this] { return !aggiorna(); }, limite)) return std::nullopt;
    return stato_;
  }

  void uccidi() {
    if (aggiorna()) ::kill(pid_, SIGKILL);
    attendi_uscita(5s);
  }

  void termina() {
    if (!aggiorna()) return;
    ::kill(pid_, SIGTERM);
    if (!attendi_uscita(2s)) uccidi();
  }

 private:
  // True while the process runs; reaps it once it has ended.
  bool aggiorna() {
    if (stato_) return false;
    int stato = 0;
    if (::waitpid(pid_, &stato, WNOHANG) != pid_) return true;
    stato_ = stato;
    return false;
  }

  pid_t pid_;
  std::optional<int> stato_;
};

class Installazione {
 public:
  static constexpr const char* comandi = "Scontr.ECR";
  static constexpr const char* result = "Result.TXT";
  static constexpr const char* log = "BorvanIF.LOG";
  static constexpr const char* rotolo = "ECRSIM.TXT";

  // `impostazioni`: the lines of BorvanIF.CFG, after a fast poll and no message boxes (which
  // would wait forever offscreen).
  explicit Installazione(const std::string& impostazioni = "") {
    namespace fs = std::filesystem;
    fs::create_directories(cartella_.percorso("app"));
    fs::create_directories(cartella_.percorso("tmp"));
    fs::copy_file(BORVAN_BINARIO, percorso("BorvanIF"));
    scrivi("BorvanIF.CFG", "POLLING_TIME=50\r\nSHOW_ERRORS=0\r\n" + impostazioni);
  }

  std::string percorso(const std::string& nome) const { return cartella_.percorso("app/" + nome); }
  void scrivi(const std::string& nome, const std::string& contenuto) const {
    cartella_.scrivi("app/" + nome, contenuto);
  }
  std::string leggi(const std::string& nome) const { return cartella_.leggi("app/" + nome); }
  bool esiste(const std::string& nome) const { return cartella_.esiste("app/" + nome); }

  // Starts the program in its folder. Its lock goes to a temporary folder of this
  // installation, so that killed instances leave nothing behind.
  std::unique_ptr<Processo> avvia() const {
    std::vector<std::string> ambiente;
    for (char** voce = environ; *voce != nullptr; ++voce) {
      const std::string testo = *voce;
      if (testo.starts_with("QT_QPA_PLATFORM=") || testo.starts_with("TMPDIR=")) continue;
      ambiente.push_back(testo);
    }
    ambiente.push_back("QT_QPA_PLATFORM=offscreen");
    ambiente.push_back("TMPDIR=" + cartella_.percorso("tmp"));
    std::vector<char*> env;
    for (std::string& voce : ambiente) env.push_back(voce.data());
    env.push_back(nullptr);

    std::string programma = percorso("BorvanIF");
    char* argv[] = {programma.data(), nullptr};
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    const std::string uscita = cartella_.percorso("uscita.txt");
    posix_spawn_file_actions_addopen(&azioni, 1, uscita.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&azioni, 1, 2);
    pid_t pid = 0;
    const int errore = posix_spawn(&pid, programma.c_str(), &azioni, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&azioni);
    if (errore != 0) throw std::runtime_error("posix_spawn: " + std::to_string(errore));
    return std::make_unique<Processo>(pid);
  }

  // Drops a command file as a point-of-sale program should: written under another name, then
  // renamed, so that the program never sees half of it.
  void lascia_comandi(const std::vector<std::string>& righe) const {
    std::string testo;
    for (const std::string& riga : righe) testo += riga + "\r\n";
    scrivi("Scontr.tmp", testo);
    std::filesystem::rename(percorso("Scontr.tmp"), percorso(comandi));
  }

  // The job has ended: the result is written and the command file deleted, in that order.
  bool attendi_esito(std::chrono::milliseconds limite = 10s) const {
    return attendi([this] { return esiste(result) && !esiste(comandi); }, limite);
  }

  // What the program wrote to its standard output and error, for a failure's report.
  std::string uscita() const { return cartella_.leggi("uscita.txt"); }

 private:
  CartellaTemporanea cartella_;
};

}  // namespace borvan::test

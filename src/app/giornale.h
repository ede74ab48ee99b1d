#pragma once

// The journal of the job in progress, "BorvanIF.JRN" in the application directory: which
// command file is being printed (path and identity), how many lines it has, how many the
// register accepted and, once decided, the job's outcome. It is on the disk before the first
// line is sent, so that a start after a crash, a kill or a power cut can give the job its
// outcome instead of printing it again.
//
// Text, CR LF lines:
//   BorvanIF JRN 1
//   <lines accepted, ten digits: updated in place as the register accepts them>
//   <lines of the job>
//   <volume> <index> <size> <write time> <creation time> <fingerprint of the content>
//   <path of the command file>
// and, appended when the outcome is decided:
//   ESITO <code>
//   <description, to the end of the file> CR LF

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "support/nome_programma.h"
#include "support/sistema.h"

namespace borvan {

inline constexpr const char* nome_giornale = con_nome_programma<".JRN">;

struct LavoroRegistrato {
  std::string percorso;
  IdentitaFile identita;
  int32_t righe = 0;
  int32_t accettate = 0;
  struct Esito {
    int32_t codice = 0;
    std::string descrizione;
  };
  std::optional<Esito> esito;  // nothing while the job is undecided
};

class Giornale {
 public:
  explicit Giornale(std::string percorso);
  ~Giornale();

  // Records a new job and waits until the record is on the disk. Throws ErroreRuntime.
  void inizia(const LavoroRegistrato& lavoro);
  // Takes up the journal a previous run left, so that its job's outcome can be recorded.
  void riprendi() noexcept;
  bool attivo() const { return file_ != nullptr; }
  // The lines accepted so far: written in place, not waited for.
  void accettate(int32_t righe) noexcept;
  // Records the outcome about to be written, and waits until it is on the disk.
  void decidi(int32_t codice, const std::string& descrizione) noexcept;
  // The job has ended: the journal goes.
  void rimuovi() noexcept;

  // What a previous run left behind: nothing when there is no journal or it is unreadable
  // (a record cut short by a power cut was never completed, so no line had been sent).
  std::optional<LavoroRegistrato> leggi() const;
  bool presente() const;

 private:
  std::string percorso_;
  std::unique_ptr<FileScrittura> file_;
};

}  // namespace borvan

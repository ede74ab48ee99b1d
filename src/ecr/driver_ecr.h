#pragma once

// The register driver boundary: the five members of the register's automation control that
// the program uses. Every result is a 32-bit signed integer; every failure is thrown as an
// ErroreRuntime.

#include <cstdint>
#include <functional>
#include <string>

namespace borvan {

// The members' dispatch ids on the register's automation control: how the automation driver
// calls them, how the stand-in control answers them and how the simulated register's settings
// name them.
inline constexpr int32_t membro_proprieta_9 = 9;
inline constexpr int32_t membro_apri = 12;
inline constexpr int32_t membro_stato = 10;
inline constexpr int32_t membro_invia = 17;
inline constexpr int32_t membro_chiudi = 13;

class DriverEcr {
 public:
  virtual ~DriverEcr() = default;

  // `membro_proprieta_9`, a property put: the program always writes 0 before opening.
  virtual void imposta_proprieta_9(int16_t valore) = 0;
  // `membro_apri`: open with a request such as "PORT = 1"; 0 means open and ready.
  virtual int32_t apri(std::string& richiesta) = 0;
  // `membro_stato`: the register status; 0 means OK.
  virtual int32_t stato() = 0;
  // `membro_invia`: send one command line; 0 means accepted. On a refusal the driver may leave a
  // response text in `risposta` (empty on the call).
  virtual int32_t invia(std::string& riga, std::string& risposta) = 0;
  // `membro_chiudi`: close; its result is ignored.
  virtual int32_t chiudi() = 0;

  // Why no register can be reached at all (its driver is not installed, say); empty when
  // there is a driver. A job then ends as a failed open, with this text, before any member.
  virtual std::string motivo_assenza() const { return {}; }

  // Runs the program's message loop for that many milliseconds (0: what is waiting, once).
  using CicloEventi = std::function<void(int32_t millisecondi)>;
  // What a driver that waits for its register may run meanwhile, as many controls do; the
  // program's ticks and clicks then come inside its calls. A driver may ignore it.
  virtual void imposta_ciclo_eventi(CicloEventi) {}
};

}  // namespace borvan

#pragma once

#include <cstdint>

#include "support/errore_runtime.h"

namespace borvan {

// Decision codes of the common error routine.
inline constexpr int16_t risposta_riprova = 4;
inline constexpr int16_t risposta_annulla = 2;

// The common error routine, as the trapped procedures see it.
class GestoreErrori {
 public:
  virtual ~GestoreErrori() = default;
  // Decides on a trapped error: 4 to run the failed step again, anything else to give up.
  virtual int16_t elabora_errore(const ErroreRuntime& errore, int32_t& linea) = 0;
};

// The tail of every retry trap: true when the failed step is to run again.
bool gestisci_errore(GestoreErrori& gestore, const ErroreRuntime& errore);

}  // namespace borvan

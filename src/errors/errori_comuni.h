#pragma once

#include <cstdint>
#include <string>

#include "support/errore_runtime.h"
#include "support/gestore_errori.h"

namespace borvan {

class Operatore;

// The variables the error routine shares with the error dialog; they live as long as the
// program and start at zero.
struct VariabiliErrore {
  int32_t ultimo_errore = 0;    // last lock-group number seen
  int32_t conta_errore = 0;     // how many times in a row it came back
  std::string testo_errore;     // the message the dialog shows
  int32_t risposta_errore = 0;  // the dialog's answer: 4 retry, 2 give up
};

// The common error routine: immediate retry, silent retry of repeated lock errors up to a
// limit, or the error dialog; answers 4 (retry) or 2 (give up).
class ErroriComuni : public GestoreErrori {
 public:
  static constexpr const char* parola_accesso = "KWEX";

  explicit ErroriComuni(Operatore& operatore) : operatore_(operatore) {}

  int16_t elabora_errore(const ErroreRuntime& errore, int32_t& linea) override;
  // The plain-number form: the description is the system's text for that number.
  int16_t elabora_errore(int32_t numero, int32_t& linea);

 private:
  int16_t decidi(int32_t numero, const std::string& messaggio);

  Operatore& operatore_;
  VariabiliErrore variabili_;
};

}  // namespace borvan

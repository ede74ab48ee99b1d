#pragma once

#include <deque>
#include <vector>

#include "support/trappola.h"

namespace borvan::test {

// A stand-in for the common error routine: records the errors and answers from a queue
// (give up, 2, when it runs dry).
class ErroriFinti : public GestoreErrori {
 public:
  std::vector<ErroreRuntime> ricevuti;
  std::deque<int16_t> risposte;

  int16_t elabora_errore(const ErroreRuntime& errore, int32_t&) override {
    ricevuti.push_back(errore);
    if (risposte.empty()) return risposta_annulla;
    int16_t r = risposte.front();
    risposte.pop_front();
    return r;
  }
};

}  // namespace borvan::test

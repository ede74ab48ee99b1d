#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "support/errore_runtime.h"
#include "support/gestore_errori.h"

namespace borvan {

// Runs a step and hands back the run-time error it raised, if any: the error is then dealt
// with outside the catch block, where a modal dialog and its own errors may follow.
template <class Passo>
std::optional<ErroreRuntime> cattura_errore(Passo&& passo) {
  try {
    std::forward<Passo>(passo)();
  } catch (...) {
    return errore_corrente();
  }
  return std::nullopt;
}

// The retry trap. A trapped procedure runs each of its steps through it:
//
//   Trappola passo{errori};
//   if (!passo([&] { ... })) return;   // the operator gave up: leave the procedure
//
// A failing step runs again from its start for as long as the error routine answers retry.
// The answer may take a modal dialog, during which the world can move on (a job may end);
// a trap given a condition asks about a failed step, and runs it again, only while that
// condition still holds.
class Trappola {
 public:
  explicit Trappola(GestoreErrori& gestore, std::function<bool()> ancora_valido = {})
      : gestore_(gestore), ancora_valido_(std::move(ancora_valido)) {}

  template <class Passo>
  bool operator()(Passo&& passo) {
    for (;;) {
      std::optional<ErroreRuntime> errore = cattura_errore(passo);
      if (!errore) return true;
      errore_ = std::move(errore);
      if (!valido() || !gestisci_errore(gestore_, *errore_) || !valido()) return false;
    }
  }

  // The error of the step that was given up last.
  const std::optional<ErroreRuntime>& errore() const { return errore_; }

 private:
  bool valido() const { return !ancora_valido_ || ancora_valido_(); }

  GestoreErrori& gestore_;
  std::function<bool()> ancora_valido_;
  std::optional<ErroreRuntime> errore_;
};

// Skip mode: a failing step is passed over and the procedure goes on with the next one.
// Answers whether the step completed.
template <class Passo>
bool salta_errori(Passo&& passo) noexcept {
  try {
    std::forward<Passo>(passo)();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace borvan

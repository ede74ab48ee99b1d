#include "ecr/driver_assente.h"

#include <utility>

#include "support/errore_runtime.h"

namespace borvan {

DriverAssente::DriverAssente(std::string motivo) : motivo_(std::move(motivo)) {}

void DriverAssente::manca() const {
  throw ErroreRuntime(codice_errore::errore_io, motivo_);
}

void DriverAssente::imposta_proprieta_9(int16_t) {
  manca();
}

int32_t DriverAssente::apri(std::string&) {
  manca();
}

int32_t DriverAssente::stato() {
  manca();
}

int32_t DriverAssente::invia(std::string&, std::string&) {
  manca();
}

// The end of every job closes the register: with none open, there is nothing to do.
int32_t DriverAssente::chiudi() {
  return 0;
}

}  // namespace borvan

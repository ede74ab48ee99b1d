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

DriverRiprova::DriverRiprova(Creazione crea)
    : crea_(std::move(crea)), assente_(motivo_driver_non_installato) {}

DriverRiprova::~DriverRiprova() = default;

void DriverRiprova::prepara() const {
  // A creation that runs messages may see a job start meanwhile: that job finds no driver
  // yet, and creation is not begun twice.
  if (driver_ || in_creazione_) return;
  in_creazione_ = tentato_ = true;
  assente_ = DriverAssente(motivo_driver_in_creazione);
  try {
    driver_ = crea_();
  } catch (...) {
    assente_ = DriverAssente(errore_corrente().descrizione());
  }
  in_creazione_ = false;
}

void DriverRiprova::rilascia() {
  driver_.reset();
}

// A member before any job has asked is the first use: the driver is created for it.
DriverEcr& DriverRiprova::attuale() const {
  if (!tentato_) prepara();
  return driver_ ? *driver_ : assente_;
}

void DriverRiprova::imposta_proprieta_9(int16_t valore) {
  attuale().imposta_proprieta_9(valore);
}

int32_t DriverRiprova::apri(std::string& richiesta) {
  return attuale().apri(richiesta);
}

int32_t DriverRiprova::stato() {
  return attuale().stato();
}

int32_t DriverRiprova::invia(std::string& riga, std::string& risposta) {
  return attuale().invia(riga, risposta);
}

int32_t DriverRiprova::chiudi() {
  return attuale().chiudi();
}

std::string DriverRiprova::motivo_assenza() const {
  prepara();
  return attuale().motivo_assenza();
}

}  // namespace borvan

#pragma once

// The driver in force where no register can be reached: every job ends as a failed open with
// the reason, and no member is ever asked to print. And the driver that is created again at
// each job while it cannot be, so that a driver installed later needs no restart.

#include <functional>
#include <memory>
#include <string>

#include "ecr/driver_ecr.h"

namespace borvan {

inline constexpr const char* motivo_driver_non_installato =
    "Driver del registratore non installato";
inline constexpr const char* motivo_driver_in_creazione = "Driver del registratore in preparazione";

class DriverAssente : public DriverEcr {
 public:
  explicit DriverAssente(std::string motivo);

  void imposta_proprieta_9(int16_t valore) override;
  int32_t apri(std::string& richiesta) override;
  int32_t stato() override;
  int32_t invia(std::string& riga, std::string& risposta) override;
  int32_t chiudi() override;
  std::string motivo_assenza() const override { return motivo_; }

 private:
  [[noreturn]] void manca() const;

  std::string motivo_;
};

class DriverRiprova : public DriverEcr {
 public:
  // `crea` makes the real driver, or throws ErroreRuntime with the reason it cannot.
  using Creazione = std::function<std::unique_ptr<DriverEcr>()>;
  explicit DriverRiprova(Creazione crea);
  ~DriverRiprova() override;

  // Creates the driver now unless it exists: at start-up, as a form creates its controls.
  void prepara() const;
  // Lets the driver go (the window's end); a later job would create it again.
  void rilascia();

  void imposta_proprieta_9(int16_t valore) override;
  int32_t apri(std::string& richiesta) override;
  int32_t stato() override;
  int32_t invia(std::string& riga, std::string& risposta) override;
  int32_t chiudi() override;
  // Asked as each job starts: the moment to try again a driver that could not be created.
  std::string motivo_assenza() const override;

 private:
  DriverEcr& attuale() const;

  Creazione crea_;
  // Created on demand from a const question, hence mutable.
  mutable std::unique_ptr<DriverEcr> driver_;
  mutable DriverAssente assente_;
  mutable bool in_creazione_ = false;
  mutable bool tentato_ = false;
};

}  // namespace borvan

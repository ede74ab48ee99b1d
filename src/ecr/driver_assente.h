#pragma once

// The driver in force where no register can be reached: every job ends as a failed open with
// the reason, and no member is ever asked to print.

#include <string>

#include "ecr/driver_ecr.h"

namespace borvan {

inline constexpr const char* motivo_driver_non_installato =
    "Driver del registratore non installato";

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

}  // namespace borvan

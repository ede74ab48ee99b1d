#include "ecr/driver_predefinito.h"

#include "ecr/registratore_simulato.h"

namespace borvan {

std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string& cartella_applicazione) {
  // A Windows build picks the register's automation-control driver here.
  return std::make_unique<RegistratoreSimulato>(cartella_applicazione);
}

}  // namespace borvan

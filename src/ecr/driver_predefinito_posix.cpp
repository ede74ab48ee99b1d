#include "ecr/driver_predefinito.h"
#include "ecr/registratore_simulato.h"

namespace borvan {

// No register driver exists for this platform: the simulated register stands in for it.
std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string& cartella_applicazione) {
  return std::make_unique<RegistratoreSimulato>(cartella_applicazione);
}

}  // namespace borvan

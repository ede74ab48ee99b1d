#include "ecr/driver_assente.h"
#include "ecr/driver_com.h"
#include "ecr/driver_predefinito.h"
#include "support/errore_runtime.h"

namespace borvan {

// The register's own automation driver. Where it cannot be created, every job fails and says
// why: a receipt reported printed that no register printed is the worst fault this program can
// have, so the simulated register is never taken in its place.
std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string&) {
  try {
    return DriverCom::crea();
  } catch (const ErroreRuntime& errore) {
    return std::make_unique<DriverAssente>(errore.descrizione());
  }
}

}  // namespace borvan

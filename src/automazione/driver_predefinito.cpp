#include "ecr/driver_predefinito.h"

#include "automazione/driver_com.h"
#include "ecr/driver_assente.h"

namespace borvan {

// The register's own automation driver. Where it cannot be created, every job fails and says
// why, and tries again: a receipt reported printed that no register printed is the worst fault
// this program can have, so the simulated register is never taken in its place.
std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string&) {
  return std::make_unique<DriverRiprova>([] { return DriverCom::crea(); });
}

}  // namespace borvan

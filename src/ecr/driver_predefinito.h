#pragma once

#include <memory>
#include <string>

#include "ecr/driver_ecr.h"

namespace borvan {

// The driver the program uses on this platform, working in `cartella_applicazione` (ending with
// the separator): the register's own driver on Windows (defined by the automation client,
// borvan_automazione), the simulated register elsewhere. The simulated register is never a
// fallback for a missing driver: it is chosen explicitly.
std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string& cartella_applicazione);

}  // namespace borvan

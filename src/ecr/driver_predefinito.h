#pragma once

#include <memory>
#include <string>

#include "ecr/driver_ecr.h"

namespace borvan {

// The driver the program uses on this platform. Without a real register driver it is the
// simulated register, working in `cartella_applicazione` (ending with the separator).
std::unique_ptr<DriverEcr> crea_driver_predefinito(const std::string& cartella_applicazione);

}  // namespace borvan

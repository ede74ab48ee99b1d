#include "ecr/driver_assente.h"

#include <gtest/gtest.h>

#include <memory>

#include "comune/cartella_temporanea.h"
#include "ecr/registratore_simulato.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

// A driver that cannot be created is tried again as each job starts, every member failing
// meanwhile with the reason; a job that starts while it is being created (a creation that runs
// messages) finds it not ready, and it is never created twice.
TEST(DriverRiprova, RitentaAOgniLavoroECreaUnaVolta) {
  test::CartellaTemporanea cartella;
  int tentativi = 0;
  std::string motivo_durante;
  DriverRiprova* stesso = nullptr;
  DriverRiprova driver([&]() -> std::unique_ptr<DriverEcr> {
    ++tentativi;
    motivo_durante = stesso->motivo_assenza();
    if (tentativi == 1) throw ErroreRuntime(429, "Driver del registratore non installato (X)");
    return std::make_unique<RegistratoreSimulato>(cartella.cartella());
  });
  stesso = &driver;
  EXPECT_EQ(driver.motivo_assenza(), "Driver del registratore non installato (X)");
  std::string richiesta = "PORT = 1";
  EXPECT_THROW(driver.apri(richiesta), ErroreRuntime);
  EXPECT_EQ(driver.motivo_assenza(), "");  // the next job's start creates it
  EXPECT_EQ(motivo_durante, motivo_driver_in_creazione);
  EXPECT_EQ(driver.apri(richiesta), 0);
  EXPECT_EQ(tentativi, 2);
}

}  // namespace
}  // namespace borvan

#include "ecr/driver_predefinito.h"

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

// Windows prints on the register's own driver, and where it is missing nothing is printed at
// all: the simulated register must never stand in for it unasked.
TEST(DriverPredefinito, OnWindowsNeverTheSimulatedRegister) {
  test::CartellaTemporanea cartella;
  const auto driver = crea_driver_predefinito(cartella.cartella());
  std::string riga = "riga";
  std::string risposta;
#ifdef _WIN32
  EXPECT_EQ(driver->motivo_assenza(), "Driver del registratore non installato");
  EXPECT_THROW(driver->invia(riga, risposta), ErroreRuntime);
  EXPECT_EQ(driver->chiudi(), 0);
  EXPECT_FALSE(cartella.esiste("ECRSIM.TXT"));
#else
  EXPECT_EQ(driver->motivo_assenza(), "");
  EXPECT_EQ(driver->invia(riga, risposta), 0);
  EXPECT_EQ(cartella.leggi("ECRSIM.TXT"), "riga\r\n");
#endif
}

}  // namespace
}  // namespace borvan

#include "ecr/driver_predefinito.h"

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"

namespace borvan {
namespace {

// Elsewhere than on Windows the simulated register is the program's register. (On Windows the
// choice depends on what is registered in the system: tests/ecrsim prove it under the lock of
// the tests that register the stand-in control.)
#ifndef _WIN32
TEST(DriverPredefinito, ElsewhereTheSimulatedRegister) {
  test::CartellaTemporanea cartella;
  const auto driver = crea_driver_predefinito(cartella.cartella());
  std::string riga = "riga";
  std::string risposta;
  EXPECT_EQ(driver->motivo_assenza(), "");
  EXPECT_EQ(driver->invia(riga, risposta), 0);
  EXPECT_EQ(cartella.leggi("ECRSIM.TXT"), "riga\r\n");
}
#endif

}  // namespace
}  // namespace borvan

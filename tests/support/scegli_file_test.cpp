#include "support/scegli_file.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

using namespace std::string_literals;

// The chooser gets the filter as NUL-separated pairs; the chosen path comes back cut at its NUL,
// "" when cancelled.
TEST(SceltaFile, LaRichiestaPreparataEIlPercorsoScelto) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  operatore.risposte_file = {"/dati/scelto.txt\0\0"s};  // then cancelled
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "", "", operatore, errori), "/dati/scelto.txt");
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "", "", operatore, errori), "");
  EXPECT_EQ(operatore.richieste_file.at(0).filtro, "Tutti\0*.*\0\0"s);
  EXPECT_TRUE(errori.ricevuti.empty());
}

}  // namespace
}  // namespace borvan

#include "support/scegli_file.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

using namespace std::string_literals;

// The chooser gets the filter as NUL-separated pairs and the proposed name padded to the buffer
// the Windows chooser writes into; the chosen path comes back cut at its NUL, "" when cancelled.
TEST(SceltaFile, LaRichiestaPreparataEIlPercorsoScelto) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  operatore.risposte_file = {"/dati/scelto.txt\0\0"s};  // then cancelled
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "/dati", "proposto.txt", operatore, errori),
            "/dati/scelto.txt");
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "", "", operatore, errori), "");
  const RichiestaSalvaFile& r = operatore.richieste_file.at(0);
  EXPECT_EQ(r.cartella_iniziale, "/dati");
  EXPECT_EQ(r.filtro, "Tutti\0*.*\0\0"s);
  EXPECT_EQ(r.buffer_nome, "proposto.txt" + std::string(248, '\0'));
  EXPECT_TRUE(errori.ricevuti.empty());
}

}  // namespace
}  // namespace borvan

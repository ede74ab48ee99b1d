#include "ecr/registratore_simulato.h"

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"

namespace borvan {
namespace {

// Accepted lines go on the roll byte for byte, the refused one never. Keys in any case, a lone
// CR ends a line, an unusable value leaves the one before, and a refusal is never answered 0.
// (The other settings, and their reading at each open, are proven by the program's own runs.)
TEST(RegistratoreSimulato, StampaERifiuta) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("ECRSIM.CFG",
                  " refuse_line = 2\rREFUSE_CODE=7\r\nREFUSE_CODE=0\r\n"
                  "REFUSE_TEXT= Carta: r=si \r\nSTATUS=4\r\nSTATUS=1E999");
  RegistratoreSimulato driver{cartella.cartella()};
  std::string richiesta = "PORT = 4", risposta;
  ASSERT_EQ(driver.apri(richiesta), 0);
  EXPECT_EQ(driver.stato(), 4);
  const std::string con_nul("a\0b", 3);
  for (std::string riga :
       {std::string("uno"), std::string("due"), con_nul, std::string(), std::string("a\nb")}) {
    const bool rifiutata = riga == "due";
    risposta.clear();
    EXPECT_EQ(driver.invia(riga, risposta), rifiutata ? 7 : 0);
    EXPECT_EQ(risposta, rifiutata ? "Carta: r=si" : "");
  }
  EXPECT_EQ(cartella.leggi("ECRSIM.TXT"), "uno\r\n" + con_nul + "\r\n\r\na\nb\r\n");
}

}  // namespace
}  // namespace borvan

#include "ecr/registratore_simulato.h"

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"
#include "support/trappola.h"

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

// Each key's own rule: a delay is never negative, RAISE names a member or none, PUMP_MESSAGES is
// any number but 0, REQUIRE_SITE only 1. A value reads as its leading number (a word as 0); one
// too large for a whole number leaves the value before.
TEST(RegistratoreSimulato, OgniChiaveConLaSuaRegola) {
  struct Caso {
    std::string testo;  // ECRSIM.CFG
    ImpostazioniSimulatore attese;
  };
  const Caso casi[] = {
      {"line_delay_ms = -5\r\nRAISE=" + std::to_string(membro_stato) + "\r\nRAISE=11", {}},
      {"RAISE=" + std::to_string(membro_invia) +
           "\r\nRAISE=1E999\r\nPUMP_MESSAGES=2\r\nREQUIRE_SITE=2",
       {.membro_in_errore = membro_invia, .elabora_eventi = true}},
      {"REQUIRE_SITE=1\r\nREQUIRE_SITE=1E999\r\nOPEN_RESULT=3\r\nREFUSE_TEXT=",
       {.risultato_apertura = 3, .sito_richiesto = true}},
      {"REQUIRE_SITE=1\r\nREQUIRE_SITE=si", {}},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.testo);
    test::CartellaTemporanea cartella;
    cartella.scrivi("ECRSIM.CFG", caso.testo);
    EXPECT_TRUE(leggi_impostazioni_simulatore(cartella.cartella()) == caso.attese);
  }
}

// With PUMP_MESSAGES=1 each of the five members runs the program's message loop for the
// line's delay before it answers, a raising one too; otherwise none does.
TEST(RegistratoreSimulato, OgniMembroElaboraIMessaggi) {
  const std::pair<std::string, std::vector<int32_t>> casi[] = {
      {"PUMP_MESSAGES=1\r\nLINE_DELAY_MS=7\r\nRAISE=" + std::to_string(membro_stato),
       {7, 7, 7, 7, 7}},
      {"PUMP_MESSAGES=1", {0, 0, 0, 0, 0}},
      {"PUMP_MESSAGES=0\r\nLINE_DELAY_MS=7", {}}};
  for (const auto& [impostazioni, attese] : casi) {
    SCOPED_TRACE(impostazioni);
    test::CartellaTemporanea cartella;
    cartella.scrivi("ECRSIM.CFG", impostazioni);
    RegistratoreSimulato driver{cartella.cartella()};
    std::vector<int32_t> cicli;
    driver.imposta_ciclo_eventi([&](int32_t millisecondi) { cicli.push_back(millisecondi); });
    std::string richiesta = "PORT = 1", riga = "uno", risposta;
    driver.imposta_proprieta_9(0);
    driver.apri(richiesta);
    cattura_errore([&] { driver.stato(); });
    driver.invia(riga, risposta);
    driver.chiudi();
    EXPECT_EQ(cicli, attese);
  }
}

}  // namespace
}  // namespace borvan

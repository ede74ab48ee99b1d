#include "ecr/registratore_simulato.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "comune/cartella_temporanea.h"
#include "comune/disco_pieno.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

struct Simulato {
  test::CartellaTemporanea cartella;
  RegistratoreSimulato driver{cartella.cartella()};
  std::string risposta;  // the last send's answer

  int32_t apri() {
    std::string richiesta = "PORT = 4";
    return driver.apri(richiesta);
  }
  int32_t invia(std::string riga) {
    risposta.clear();
    return driver.invia(riga, risposta);
  }
};

// The number, source and description of the run-time error a call raises; empty for none.
std::string errore_di(const std::function<void()>& chiamata) {
  try {
    chiamata();
  } catch (const ErroreRuntime& e) {
    return std::to_string(e.numero()) + " " + e.sorgente() + " " + e.descrizione();
  }
  return "";
}

// Accepted lines go on the roll byte for byte, the refused one never; each open counts afresh.
TEST(RegistratoreSimulato, StampaRifiutaERilegge) {
  Simulato s;
  s.cartella.scrivi("ECRSIM.CFG",
                    "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT= Carta: r=si \r\n");
  const std::string con_nul("a\0b", 3);
  for (int giro = 0; giro < 2; ++giro) {
    ASSERT_EQ(s.apri(), 0);
    EXPECT_EQ(s.invia("uno"), 0);
    EXPECT_EQ(s.risposta, "");
    EXPECT_EQ(s.invia("due"), 7);
    EXPECT_EQ(s.risposta, "Carta: r=si");
    for (const std::string& riga : {con_nul, std::string(), std::string("a\nb")})
      EXPECT_EQ(s.invia(riga), 0);
  }
  const std::string giro = "uno\r\n" + con_nul + "\r\n\r\na\nb\r\n";
  EXPECT_EQ(s.cartella.leggi("ECRSIM.TXT"), giro + giro);

  // The settings are read again at each open.
  s.cartella.scrivi("ECRSIM.CFG", "OPEN_RESULT=3\r\nSTATUS=-2");
  EXPECT_EQ(s.apri(), 3);
  EXPECT_EQ(s.driver.richiesta(), "PORT = 4");
  EXPECT_EQ(s.driver.stato(), -2);
  // Lower-case key, lone CR, an unusable value leaving the earlier one; a refusal is never 0.
  s.cartella.scrivi("ECRSIM.CFG",
                    " open_result = 0\rSTATUS=4\r\nSTATUS=1E999\r\nREFUSE_LINE=1\r\nREFUSE_CODE=0");
  EXPECT_EQ(s.apri(), 0);
  EXPECT_EQ(s.driver.stato(), 4);
  EXPECT_EQ(s.invia("uno"), 1);
  s.cartella.scrivi("ECRSIM.CFG", "LINE_DELAY_MS=5");
  EXPECT_EQ(s.apri(), 0);
  EXPECT_EQ(s.driver.stato(), 0);
  const auto inizio = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s.invia("riga"), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - inizio, std::chrono::milliseconds(15));
}

TEST(RegistratoreSimulato, RaiseFaFallireSoloIlMembroIndicato) {
  for (const int32_t membro : {9, 10, 12, 13, 17}) {
    Simulato s;
    s.cartella.scrivi("ECRSIM.CFG", "RAISE=" + std::to_string(membro));
    const std::pair<int32_t, std::function<void()>> chiamate[] = {
        {9, [&] { s.driver.imposta_proprieta_9(0); }},
        {12, [&] { s.apri(); }},
        {10, [&] { s.driver.stato(); }},
        {17, [&] { s.invia("riga"); }},
        {13, [&] { s.driver.chiudi(); }}};
    for (const auto& [id, chiamata] : chiamate)
      EXPECT_EQ(errore_di(chiamata),
                id == membro
                    ? "57 ECRSIM Registratore simulato: errore sul membro " + std::to_string(id)
                    : "");
    EXPECT_EQ(s.cartella.leggi("ECRSIM.TXT").empty(), membro == 17);
  }
  Simulato s;  // a roll that cannot be written is a device error
  std::filesystem::create_directory(s.cartella.percorso("ECRSIM.TXT"));
  EXPECT_EQ(errore_di([&] { s.invia("riga"); }).substr(0, 10), "57 ECRSIM ");
}

// A line that fills the disk half-way leaves no half on the roll; retried when there is room,
// it prints whole. The roll is closed between jobs: deleted, the next job starts a new one.
TEST(RegistratoreSimulato, UnaRigaArrivaSulRotoloInteraONonArriva) {
  if (!test::disco_pieno_simulabile) GTEST_SKIP() << "no way to fill the disk here";
  Simulato s;
  ASSERT_EQ(s.apri(), 0);
  EXPECT_EQ(s.invia("uno"), 0);
  {
    test::DiscoPieno pieno(8);
    EXPECT_EQ(errore_di([&] { s.invia("abcdefgh"); }).substr(0, 10), "57 ECRSIM ");
    EXPECT_EQ(s.cartella.leggi("ECRSIM.TXT"), "uno\r\n");
  }
  EXPECT_EQ(s.invia("abcdefgh"), 0);
  EXPECT_EQ(s.driver.chiudi(), 0);
  EXPECT_EQ(s.cartella.leggi("ECRSIM.TXT"), "uno\r\nabcdefgh\r\n");
  std::filesystem::remove(s.cartella.percorso("ECRSIM.TXT"));
  ASSERT_EQ(s.apri(), 0);
  EXPECT_EQ(s.invia("due"), 0);
  EXPECT_EQ(s.driver.chiudi(), 0);
  EXPECT_EQ(s.cartella.leggi("ECRSIM.TXT"), "due\r\n");
}

}  // namespace
}  // namespace borvan

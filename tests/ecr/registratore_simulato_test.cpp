#include "ecr/registratore_simulato.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "comune/cartella_temporanea.h"
#include "ecr/driver_predefinito.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

using test::CartellaTemporanea;

int32_t invia(DriverEcr& driver, std::string riga, std::string* risposta = nullptr) {
  std::string testo;
  const int32_t risultato = driver.invia(riga, testo);
  if (risposta) *risposta = testo;
  return risultato;
}

int32_t apri(DriverEcr& driver) {
  std::string richiesta = "PORT = 4";
  return driver.apri(richiesta);
}

// The description of the run-time error a call raises, with its number and source; empty when
// it raises none.
template <typename Chiamata>
std::string errore_di(Chiamata&& chiamata) {
  try {
    chiamata();
  } catch (const ErroreRuntime& e) {
    return std::to_string(e.numero()) + " " + e.sorgente() + " " + e.descrizione();
  }
  return "";
}

TEST(RegistratoreSimulato, StampaLeRigheAccettateSulRotolo) {
  CartellaTemporanea cartella;
  const auto driver = crea_driver_predefinito(cartella.cartella());
  ASSERT_EQ(apri(*driver), 0);
  EXPECT_EQ(driver->stato(), 0);

  const std::string con_nul("a\0b", 3);
  std::string risposta;
  EXPECT_EQ(invia(*driver, "VEND REP=1", &risposta), 0);
  EXPECT_EQ(risposta, "");
  EXPECT_EQ(invia(*driver, con_nul), 0);
  EXPECT_EQ(invia(*driver, ""), 0);
  EXPECT_EQ(invia(*driver, "a\nb"), 0);
  EXPECT_EQ(cartella.leggi("ECRSIM.TXT"), "VEND REP=1\r\n" + con_nul + "\r\n\r\na\nb\r\n");
}

TEST(RegistratoreSimulato, RileggeLeImpostazioniAdOgniApertura) {
  CartellaTemporanea cartella;
  RegistratoreSimulato driver(cartella.cartella());

  cartella.scrivi("ECRSIM.CFG", "OPEN_RESULT=3\r\nSTATUS=-2");
  EXPECT_EQ(apri(driver), 3);
  EXPECT_EQ(driver.richiesta(), "PORT = 4");
  EXPECT_EQ(driver.stato(), -2);

  // Lower-case key, lone CR, a later unusable value leaving the earlier one in force.
  cartella.scrivi("ECRSIM.CFG", " open_result = 0\rSTATUS=4\r\nSTATUS=1E999\r\n");
  EXPECT_EQ(apri(driver), 0);
  EXPECT_EQ(driver.stato(), 4);

  std::filesystem::remove(cartella.percorso("ECRSIM.CFG"));
  EXPECT_EQ(apri(driver), 0);
  EXPECT_EQ(driver.stato(), 0);
}

TEST(RegistratoreSimulato, RifiutaLaRigaIndicataSenzaStamparla) {
  CartellaTemporanea cartella;
  cartella.scrivi(
      "ECRSIM.CFG",
      "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT= Carta esaurita: ricarica=si \r\n");
  RegistratoreSimulato driver(cartella.cartella());

  for (int giro = 0; giro < 2; ++giro) {  // the count starts again at each open
    ASSERT_EQ(apri(driver), 0);
    std::string risposta;
    EXPECT_EQ(invia(driver, "uno"), 0);
    EXPECT_EQ(invia(driver, "due", &risposta), 7);
    EXPECT_EQ(risposta, "Carta esaurita: ricarica=si");
    EXPECT_EQ(invia(driver, "tre"), 0);
  }
  EXPECT_EQ(cartella.leggi("ECRSIM.TXT"), "uno\r\ntre\r\nuno\r\ntre\r\n");

  // A refusal is never answered with 0, which would pass for an accepted line.
  cartella.scrivi("ECRSIM.CFG", "REFUSE_LINE=1\r\nREFUSE_CODE=0\r\n");
  ASSERT_EQ(apri(driver), 0);
  EXPECT_EQ(invia(driver, "quattro"), 1);
}

TEST(RegistratoreSimulato, RaiseFaFallireSoloIlMembroIndicato) {
  for (const int32_t membro : {9, 10, 12, 13, 17}) {
    SCOPED_TRACE(membro);
    CartellaTemporanea cartella;
    cartella.scrivi("ECRSIM.CFG", "RAISE=" + std::to_string(membro));
    RegistratoreSimulato driver(cartella.cartella());
    const std::string errore =
        "57 ECRSIM Registratore simulato: errore sul membro " + std::to_string(membro);
    const auto atteso = [&](int32_t id) { return id == membro ? errore : ""; };

    EXPECT_EQ(errore_di([&] { driver.imposta_proprieta_9(0); }), atteso(9));
    EXPECT_EQ(errore_di([&] { apri(driver); }), atteso(12));
    EXPECT_EQ(errore_di([&] { driver.stato(); }), atteso(10));
    EXPECT_EQ(errore_di([&] { invia(driver, "riga"); }), atteso(17));
    EXPECT_EQ(errore_di([&] { driver.chiudi(); }), atteso(13));
    EXPECT_EQ(cartella.esiste("ECRSIM.TXT"), membro != 17);
  }
}

TEST(RegistratoreSimulato, RotoloNonScrivibileEErroreDiPeriferica) {
  CartellaTemporanea cartella;
  std::filesystem::create_directory(cartella.percorso("ECRSIM.TXT"));
  RegistratoreSimulato driver(cartella.cartella());
  EXPECT_EQ(errore_di([&] { invia(driver, "riga"); }).substr(0, 10), "57 ECRSIM ");
}

TEST(RegistratoreSimulato, LineDelayRallentaOgniRiga) {
  CartellaTemporanea cartella;
  cartella.scrivi("ECRSIM.CFG", "LINE_DELAY_MS=5");
  RegistratoreSimulato driver(cartella.cartella());
  ASSERT_EQ(apri(driver), 0);
  const auto inizio = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(invia(driver, "riga"), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - inizio, std::chrono::milliseconds(15));
}

}  // namespace
}  // namespace borvan

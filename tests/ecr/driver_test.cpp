#include "ecr/registratore_simulato.h"

#include <gtest/gtest.h>

#include <memory>

#include "comune/cartella_temporanea.h"
#include "ecr/driver_assente.h"
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
  try {
    driver.apri(richiesta);
    ADD_FAILURE() << "opened without a driver";
  } catch (const ErroreRuntime& errore) {
    EXPECT_EQ(errore.descrizione(), "Driver del registratore non installato (X)");
  }
  EXPECT_EQ(driver.motivo_assenza(), "");
  EXPECT_EQ(motivo_durante, motivo_driver_in_creazione);
  EXPECT_EQ(driver.apri(richiesta), 0);
  EXPECT_EQ(driver.motivo_assenza(), "");
  EXPECT_EQ(tentativi, 2);
}

}  // namespace
}  // namespace borvan

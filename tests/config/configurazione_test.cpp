#include "config/configurazione.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "comune/cartella_temporanea.h"
#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"

namespace borvan {
namespace {

void confronta(const Configurazione& a, const Configurazione& b, const std::string& caso) {
  EXPECT_EQ(a.porta_ecr, b.porta_ecr) << caso;
  EXPECT_EQ(a.file_input, b.file_input) << caso;
  EXPECT_EQ(a.tempo_polling, b.tempo_polling) << caso;
  EXPECT_EQ(a.tempo_timeout, b.tempo_timeout) << caso;
  EXPECT_EQ(a.file_result, b.file_result) << caso;
  EXPECT_EQ(a.mostra_errori, b.mostra_errori) << caso;
  EXPECT_EQ(a.file_log, b.file_log) << caso;
}

std::string rifiuto(const char* chiave) {
  return std::string("Valore non valido per il parametro ") + chiave;
}

TEST(Configurazione, SenzaFilePredefinitiNellaCartellaDelProgramma) {
  test::CartellaTemporanea cartella;
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  Configurazione valori;
  valori.tempo_polling = 7;
  ASSERT_TRUE(leggi_configurazione(valori, " " + cartella.cartella() + " ", operatore, errori));
  EXPECT_EQ(valori.porta_ecr, 1);
  EXPECT_EQ(valori.tempo_polling, 500);
  EXPECT_EQ(valori.tempo_timeout, 20);
  EXPECT_FALSE(valori.mostra_errori);
  EXPECT_EQ(valori.file_input, cartella.cartella() + "Scontr.ECR");
  EXPECT_EQ(valori.file_result, cartella.cartella() + "Result.TXT");
  EXPECT_EQ(valori.file_log, cartella.cartella() + "BorvanIF.LOG");
  EXPECT_EQ(percorso_config(cartella.cartella()), cartella.percorso("BorvanIF.CFG"));
  EXPECT_EQ(operatore.modali(), 0u);
  EXPECT_TRUE(errori.ricevuti.empty());

  // A folder standing where the file should be counts as no file.
  std::filesystem::create_directory(cartella.percorso("BorvanIF.CFG"));
  ASSERT_TRUE(leggi_configurazione(valori, cartella.cartella(), operatore, errori));
  EXPECT_EQ(operatore.modali(), 0u);
}

TEST(Configurazione, ValoriLettiDalFile) {
  test::CartellaTemporanea cartella;
  const std::string app = cartella.cartella();
  using Atteso = std::function<void(Configurazione&)>;
  struct Caso {
    std::string contenuto;
    Atteso atteso;
    std::vector<std::string> messaggi;
  };
  const Caso casi[] = {
      {"POLLING_TIME=10", [](auto&) {}, {rifiuto("POLLING_TIME")}},
      {"POLLING_TIME=60000", [](auto&) {}, {rifiuto("POLLING_TIME")}},
      {"POLLING_TIME=11\r\n", [](auto& v) { v.tempo_polling = 11; }, {}},
      {"POLLING_TIME=59999", [](auto& v) { v.tempo_polling = 59999; }, {}},
      {"POLLING_TIME=10.5", [](auto& v) { v.tempo_polling = 10; }, {}},
      {"POLLING_TIME=1,5", [](auto&) {}, {rifiuto("POLLING_TIME")}},
      {"POLLING_TIME=1'000", [](auto& v) { v.tempo_polling = 1000; }, {}},
      {"TIMEOUT=59.5", [](auto& v) { v.tempo_timeout = 60; }, {}},
      {"TIMEOUT=", [](auto& v) { v.tempo_timeout = 0; }, {}},
      {"TIMEOUT=abc", [](auto& v) { v.tempo_timeout = 0; }, {}},
      {"TIMEOUT=-1\r\nTIMEOUT=60", [](auto&) {}, {rifiuto("TIMEOUT"), rifiuto("TIMEOUT")}},
      {"WINECRCOM_PORT=0\r\nWINECRCOM_PORT=-3\r\nWINECRCOM_PORT=COM2", [](auto&) {}, {}},
      {"WINECRCOM_PORT=2abc", [](auto& v) { v.porta_ecr = 2; }, {}},
      {"WINECRCOM_PORT=4\rWINECRCOM_PORT=1E20", [](auto& v) { v.porta_ecr = 4; }, {}},
      {"SHOW_ERRORS=1.0", [](auto& v) { v.mostra_errori = true; }, {}},
      {"SHOW_ERRORS=1\r\nSHOW_ERRORS=2", [](auto&) {}, {}},
      {"SHOW_ERRORS=1\r\nSHOW_ERRORS=yes", [](auto&) {}, {}},
      {"LOG_FILE=", [](auto& v) { v.file_log = ""; }, {}},
      {"INPUT_FILE=\r\nRESULT_FILE=",
       [](auto&) {},
       {rifiuto("INPUT_FILE"), rifiuto("RESULT_FILE")}},
      {"input_file = x.ecr", [&](auto& v) { v.file_input = app + "x.ecr"; }, {}},
      {"INPUT_FILE=/srv/pos/x.ecr", [](auto& v) { v.file_input = "/srv/pos/x.ecr"; }, {}},
      {"INPUT_FILE=sub\\x.ecr", [](auto& v) { v.file_input = "sub/x.ecr"; }, {}},
      {"INPUT_FILE=\\x.ecr", [&](auto& v) { v.file_input = app + "/x.ecr"; }, {}},
      {"RESULT_FILE=a=b.txt", [&](auto& v) { v.file_result = app + "a=b.txt"; }, {}},
      {"LOG_FILE=log/b.log", [](auto& v) { v.file_log = "log/b.log"; }, {}},
      {"\tPOLLING_TIME=800\r\n=5\r\nPOLLING_TIME\r\n\r\nPRINTER=1", [](auto&) {}, {}},
      {"POLLING_TIME=800\r\nPOLLING_TIME=5\r\n",
       [](auto& v) { v.tempo_polling = 800; },
       {rifiuto("POLLING_TIME")}},
      // A lone LF does not end a line: one line, its value running to the end.
      {"POLLING_TIME=800\nTIMEOUT=5\n", [](auto& v) { v.tempo_polling = 800; }, {}},
  };
  for (const auto& caso : casi) {
    cartella.scrivi("BorvanIF.CFG", caso.contenuto);
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    Configurazione valori;
    ASSERT_TRUE(leggi_configurazione(valori, cartella.cartella(), operatore, errori));
    Configurazione atteso = configurazione_predefinita(cartella.cartella());
    caso.atteso(atteso);
    confronta(valori, atteso, caso.contenuto);
    std::vector<std::string> messaggi;
    for (const auto& m : operatore.messaggi) {
      messaggi.push_back(m.testo);
      EXPECT_EQ(m.icona, Icona::nessuna);
    }
    EXPECT_EQ(messaggi, caso.messaggi) << caso.contenuto;
    EXPECT_TRUE(errori.ricevuti.empty()) << caso.contenuto;
  }
}

TEST(Configurazione, OgniLetturaRipartiDaiPredefiniti) {
  test::CartellaTemporanea cartella;
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  Configurazione valori;
  cartella.scrivi("BorvanIF.CFG", "TIMEOUT=5\r\nWINECRCOM_PORT=3\r\n");
  leggi_configurazione(valori, cartella.cartella(), operatore, errori);
  cartella.scrivi("BorvanIF.CFG", "TIMEOUT=6\r\n");
  leggi_configurazione(valori, cartella.cartella(), operatore, errori);
  EXPECT_EQ(valori.tempo_timeout, 6);
  EXPECT_EQ(valori.porta_ecr, 1);
}

TEST(Configurazione, ErroreInUnaRigaRiprovaQuellaRigaORinunciaTenendoIValoriLetti) {
  struct Caso {
    std::deque<int16_t> risposte;
    bool completata;
    size_t messaggi;
    int32_t porta;
  };
  const Caso casi[] = {{{4}, true, 2, 7}, {{2}, false, 1, 1}};
  for (const auto& caso : casi) {
    test::CartellaTemporanea cartella;
    cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=800\r\nTIMEOUT=99\r\nWINECRCOM_PORT=7\r\n");
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    errori.risposte = caso.risposte;
    bool fallito = false;
    operatore.durante_modale = [&] {
      if (!fallito) {
        fallito = true;
        throw ErroreRuntime(codice_errore::errore_io);
      }
    };
    Configurazione valori;
    EXPECT_EQ(leggi_configurazione(valori, cartella.cartella(), operatore, errori),
              caso.completata);
    EXPECT_EQ(errori.ricevuti.size(), 1u);
    EXPECT_EQ(operatore.messaggi.size(), caso.messaggi);
    EXPECT_EQ(valori.tempo_polling, 800);
    EXPECT_EQ(valori.porta_ecr, caso.porta);
  }
}

}  // namespace
}  // namespace borvan

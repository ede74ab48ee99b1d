#include "config/configurazione.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"
#include "support/percorsi.h"

namespace borvan {
namespace {

auto campi(const Configurazione& c) {
  return std::tie(c.porta_ecr, c.file_input, c.tempo_polling, c.tempo_timeout, c.file_result,
                  c.mostra_errori, c.file_log);
}

// Defaults in the program's folder (given with spaces); each reading starts from the defaults.
TEST(Configurazione, ValoriLettiDalFile) {
  test::CartellaTemporanea cartella;
  const bool windows = stile_nativo == StilePercorso::windows;
  std::string app = cartella.cartella();
  if (windows) std::replace(app.begin(), app.end(), '/', '\\');
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  Configurazione valori;
  ASSERT_TRUE(leggi_configurazione(valori, " " + app + " ", operatore, errori));
  const Configurazione predefinita{1,     app + "Scontr.ECR",  500, 20, app + "Result.TXT",
                                   false, app + "BorvanIF.LOG"};
  EXPECT_EQ(campi(valori), campi(predefinita));
  struct Caso {
    std::string contenuto;
    std::function<void(Configurazione&)> atteso;
    std::string rifiutate = "";  // the keys refused with a message, in order
  };
  const Caso casi[] = {
      {"WINECRCOM_PORT=4\rPOLLING_TIME=10\r\nPOLLING_TIME=60000", [](auto& v) { v.porta_ecr = 4; },
       "POLLING_TIME POLLING_TIME"},
      {"POLLING_TIME=10.5\r\nTIMEOUT=59.5",
       [](auto& v) { v.tempo_polling = 10, v.tempo_timeout = 60; }},
      {"TIMEOUT=-1\r\nTIMEOUT=60\r\nINPUT_FILE=\r\nRESULT_FILE=", [](auto&) {},
       "TIMEOUT TIMEOUT INPUT_FILE RESULT_FILE"},
      {"WINECRCOM_PORT=2abc\rWINECRCOM_PORT=0\r\nWINECRCOM_PORT=-3\r\nWINECRCOM_PORT=1E20",
       [](auto& v) { v.porta_ecr = 2; }},
      {"SHOW_ERRORS=1.0", [](auto& v) { v.mostra_errori = true; }},
      {"SHOW_ERRORS=1\r\nSHOW_ERRORS=2", [](auto&) {}},
      {"INPUT_FILE=sub\\x.ecr",
       [&](auto& v) { v.file_input = app + (windows ? "sub\\x.ecr" : "sub/x.ecr"); }},
      {"INPUT_FILE=\\x.ecr",
       [&](auto& v) { v.file_input = app + (windows ? "\\x.ecr" : "/x.ecr"); }},
      {"\tPOLLING_TIME=800\r\n=5\r\nPOLLING_TIME\r\n\r\nPRINTER=1", [](auto&) {}},
  };
  for (const auto& caso : casi) {
    cartella.scrivi("BorvanIF.CFG", caso.contenuto);
    const size_t prima = operatore.messaggi.size();
    ASSERT_TRUE(leggi_configurazione(valori, app, operatore, errori));
    Configurazione atteso = predefinita;
    caso.atteso(atteso);
    EXPECT_EQ(campi(valori), campi(atteso)) << caso.contenuto;
    std::string visti, attesi;
    for (size_t m = prima; m < operatore.messaggi.size(); ++m)
      visti += operatore.messaggi[m] + "\n";
    std::istringstream chiavi(caso.rifiutate);
    for (std::string k; chiavi >> k;) attesi += "Valore non valido per il parametro " + k + "\n";
    EXPECT_EQ(visti, attesi) << caso.contenuto;
  }
  EXPECT_EQ(operatore.modali.size(), operatore.messaggi.size());  // no other box
  EXPECT_TRUE(errori.ricevuti.empty());
}

// A line that fails is retried on its own; given up, the values read so far stay.
TEST(Configurazione, ErroreInUnaRigaRiprovaQuellaRigaORinunciaTenendoIValoriLetti) {
  struct Caso {
    int16_t risposta;  // to the failed line
    bool completata;
    size_t messaggi;
    int32_t porta;
  };
  for (const Caso& caso : {Caso{4, true, 2, 7}, Caso{2, false, 1, 1}}) {
    test::CartellaTemporanea cartella;
    cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=800\r\nTIMEOUT=99\r\nWINECRCOM_PORT=7\r\n");
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    errori.risposte = {caso.risposta};
    operatore.durante_modale = [&] {  // the first message box fails
      if (errori.ricevuti.empty()) throw ErroreRuntime(codice_errore::errore_io);
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

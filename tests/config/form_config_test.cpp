#include "config/form_config.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"

namespace borvan {
namespace {

struct Dialogo {
  explicit Dialogo(const std::string& config, char separatore = '.')
      : form(cartella.cartella(), operatore, errori, separatore) {
    cartella.scrivi("BorvanIF.CFG", config);
    form.Form_Load();
  }

  test::CartellaTemporanea cartella;
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  Config form;
};

// The last occurrence of a key wins; numbers are read the program's way and written with the
// regional separator; texts, quotes and commas included, are written back as stored.
TEST(Config, OkRiscriveIValoriCosiComeLetti) {
  const std::string file =
      "WINECRCOM_PORT=1E20\r\ninput_file = comandi.ecr\r\nPOLLING_TIME=800\r\n"
      "POLLING_TIME=1'500,5\r\nTIMEOUT=abc\r\nRESULT_FILE=\"C:\\dati, vari\\res.txt\"\r\n"
      "SHOW_ERRORS=1\r\nSHOW_ERRORS=2\r\nLOG_FILE=a=b.log\r\n=5\r\nPRINTER=1\r\n";
  for (const char s : {'.', ','}) {
    Dialogo d(file + (s == ',' ? "SHOW_ERRORS=1.0\r\n" : ""), s);
    d.form.Command4_Click();
    EXPECT_TRUE(d.form.Form.scaricata());
    EXPECT_EQ(d.cartella.leggi("BorvanIF.CFG"),
              "WINECRCOM_PORT=1E+20\r\nINPUT_FILE=comandi.ecr\r\nPOLLING_TIME=1500" +
                  std::string(1, s) +
                  "5\r\nTIMEOUT=0\r\nRESULT_FILE=\"C:\\dati, vari\\res.txt\"\r\n"
                  "SHOW_ERRORS=" +
                  (s == ',' ? "1" : "0") + "\r\nLOG_FILE=a=b.log\r\n");
  }
}

// An unwritable file keeps the dialog open; Default, confirmed, deletes the file (read-only
// too); a late click on the closed dialog writes nothing.
TEST(Config, SalvataggioFallitoEDefault) {
  Dialogo d("POLLING_TIME=300\r\n");
  const std::string file = d.cartella.percorso("BorvanIF.CFG");
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  d.form.Command4_Click();
  EXPECT_EQ(d.errori.ricevuti.size(), 1u);
  EXPECT_FALSE(d.form.Form.scaricata());
  std::filesystem::remove(file);
  d.cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=300\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  d.form.Command6_Click();  // answered No
  EXPECT_FALSE(d.form.Form.scaricata());
  d.operatore.risposte_domanda.push_back(true);
  d.form.Command6_Click();
  EXPECT_TRUE(d.form.Form.scaricata());
  d.form.Command4_Click();
  EXPECT_FALSE(d.cartella.esiste("BorvanIF.CFG"));
}

}  // namespace
}  // namespace borvan

#include "config/config_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/esito.h"
#include "app/principale.h"
#include "comune/ambiente_finto.h"
#include "comune/cartella_temporanea.h"
#include "comune/driver_finto.h"
#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"
#include "support/scegli_file.h"

namespace borvan {
namespace {

struct Dialogo {
  explicit Dialogo(const std::string& config = "", char separatore = '.')
      : form(cartella.cartella(), operatore, errori, separatore) {
    if (!config.empty()) cartella.scrivi("BorvanIF.CFG", config);
    form.Form_Load();
  }
  std::string config() const { return cartella.leggi("BorvanIF.CFG"); }

  test::CartellaTemporanea cartella;
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  Config form;
};

TEST(Config, SenzaFileOkScriveIPredefiniti) {
  Dialogo d;
  d.form.Command4_Click();
  EXPECT_EQ(d.config(),
            "WINECRCOM_PORT=1\r\nINPUT_FILE=Scontr.ECR\r\nPOLLING_TIME=500\r\nTIMEOUT=20\r\n"
            "RESULT_FILE=Result.TXT\r\nSHOW_ERRORS=0\r\nLOG_FILE=BorvanIF.LOG\r\n");
  EXPECT_TRUE(d.form.Form.scaricata());
  EXPECT_EQ(d.operatore.stile_puntatore, puntatore_normale);
}

// The last occurrence of a key wins; numbers go through the program's reading; paths, quotes
// and commas included, are shown and written back exactly as stored.
TEST(Config, CaricaIlFileERiscriveIValoriCosiComeLetti) {
  const std::string file =
      "WINECRCOM_PORT=abc\r\ninput_file = comandi.ecr\r\nPOLLING_TIME=800\r\n"
      "POLLING_TIME=1'500,5\r\nTIMEOUT=\r\nRESULT_FILE=\"C:\\dati, vari\\res.txt\"\r\n"
      "SHOW_ERRORS=1\r\nSHOW_ERRORS=2\r\nLOG_FILE=a=b.log\r\n=5\r\nPRINTER=1\r\n";
  for (const char separatore : {'.', ','}) {
    Dialogo d(file, separatore);
    const std::string frazione = std::string("1500") + separatore + "5";
    EXPECT_EQ(d.form.Text3.Text(), "0");
    EXPECT_EQ(d.form.Text1.Text(), "comandi.ecr");
    EXPECT_EQ(d.form.Text5.Text(), frazione);
    EXPECT_EQ(d.form.Text6.Text(), "0");
    EXPECT_EQ(d.form.Text2.Text(), "\"C:\\dati, vari\\res.txt\"");
    EXPECT_EQ(d.form.Check1.Value(), 0);
    EXPECT_EQ(d.form.Text4.Text(), "a=b.log");
    d.form.Command4_Click();
    EXPECT_EQ(d.config(), "WINECRCOM_PORT=0\r\nINPUT_FILE=comandi.ecr\r\nPOLLING_TIME=" + frazione +
                              "\r\nTIMEOUT=0\r\nRESULT_FILE=\"C:\\dati, vari\\res.txt\"\r\n"
                              "SHOW_ERRORS=0\r\nLOG_FILE=a=b.log\r\n");
  }
}

// The operator sees why; giving up keeps the dialog open with the entries.
TEST(Config, UnFileCheNonSiPuoScrivereLasciaApertoIlDialogo) {
  Dialogo d;
  std::filesystem::create_directory(d.cartella.percorso("BorvanIF.CFG"));
  d.form.Text5.setText_dall_utente("800");
  d.form.Command4_Click();
  EXPECT_EQ(d.errori.ricevuti.size(), 1u);
  EXPECT_FALSE(d.form.Form.scaricata());
  EXPECT_EQ(d.form.Text5.Text(), "800");
  EXPECT_EQ(d.operatore.stile_puntatore, puntatore_normale);
}

TEST(Config, EscEAnnullaNonScrivonoDefaultConfermatoCancellaIlFile) {
  Dialogo d("POLLING_TIME=300\r\n");
  d.form.Text5.setText_dall_utente("900");
  int16_t tasto = 13;
  d.form.Form_KeyPress(tasto);
  d.form.Command6_Click();  // answered No
  EXPECT_EQ(d.operatore.domande.at(0), "Sicuro di voler ripristinare i parametri di default?");
  EXPECT_FALSE(d.form.Form.scaricata());
  tasto = 27;
  d.form.Form_KeyPress(tasto);
  EXPECT_TRUE(d.form.Form.scaricata());
  d.form.Command4_Click();  // a late click on a closed dialog writes nothing
  EXPECT_EQ(d.config(), "POLLING_TIME=300\r\n");

  Dialogo sola_lettura("POLLING_TIME=300\r\n");
  std::filesystem::permissions(sola_lettura.cartella.percorso("BorvanIF.CFG"),
                               std::filesystem::perms::owner_read);
  sola_lettura.operatore.risposte_domanda.push_back(true);
  sola_lettura.form.Command6_Click();
  EXPECT_FALSE(sola_lettura.cartella.esiste("BorvanIF.CFG"));
  EXPECT_TRUE(sola_lettura.form.Form.scaricata());
}

TEST(Config, SfogliaMetteIlPercorsoSceltoNellaSuaCasella) {
  Dialogo d;
  d.operatore.risposte_file = {std::nullopt, "/dati/a.txt", "/dati/b.txt", "/dati/c.txt"};
  d.form.Command3_Click();
  EXPECT_EQ(d.form.Text4.Text(), "BorvanIF.LOG");
  d.form.Command1_Click();
  d.form.Command2_Click();
  d.form.Command3_Click();
  EXPECT_EQ(d.form.Text1.Text() + d.form.Text2.Text() + d.form.Text4.Text(),
            "/dati/a.txt/dati/b.txt/dati/c.txt");
  EXPECT_EQ(d.operatore.richieste_file.at(0).titolo, "Selezionare il file");
  EXPECT_EQ(d.operatore.richieste_file.at(0).filtro, filtro_per_finestra("Tutti i file (*.*)|*.*"));
}

// The main window's configuration command, with the dialog's logic behind its modal showing.
struct Banco {
  explicit Banco(const std::string& config) {
    if (!config.empty()) cartella.scrivi("BorvanIF.CFG", config);
    p = std::make_unique<Principale>(cartella.cartella(), std::make_unique<test::DriverFinto>(),
                                     operatore, errori, ambiente);
    EXPECT_TRUE(p->Form_Load());
  }
  void configura(const std::function<void(Config&)>& lavora) {
    ambiente.configurazione = [this, lavora] {
      polling_durante = p->Timer1.Enabled() || p->Timer2.Enabled();
      Config form(cartella.cartella(), operatore, errori);
      form.Form_Load();
      lavora(form);
    };
    p->Command1_Click();
  }

  test::CartellaTemporanea cartella;
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  test::AmbienteFinto ambiente;
  std::unique_ptr<Principale> p;
  bool polling_durante = true;
};

TEST(ComandoConfigurazione, PollingFermoColDialogoApertoERipresoComunqueSiChiuda) {
  struct Caso {
    std::string polling;  // typed in the box before closing
    void (Config::*chiudi)();
    int32_t intervallo;
    size_t messaggi;
  };
  const Caso casi[] = {{"800", &Config::Command4_Click, 800, 0},
                       {"", &Config::Command4_Click, 500, 1},
                       {"800", &Config::Command5_Click, 300, 0},
                       {"800", &Config::Command6_Click, 500, 0}};
  for (const auto& caso : casi) {
    Banco b("POLLING_TIME=300\r\n");
    b.operatore.risposte_domanda.push_back(true);
    b.configura([&caso](Config& f) {
      f.Text5.setText_dall_utente(caso.polling);
      (f.*caso.chiudi)();
    });
    EXPECT_FALSE(b.polling_durante);
    EXPECT_TRUE(b.p->Timer1.Enabled());
    EXPECT_EQ(b.p->Timer1.Interval(), caso.intervallo);
    EXPECT_EQ(b.operatore.messaggi.size(), caso.messaggi);
  }
}

TEST(ComandoConfigurazione, LaFinestraPrincipaleUsaSubitoLaNuovaConfigurazione) {
  Banco b("");
  b.configura([](Config& f) {
    f.Text1.setText_dall_utente("comandi.txt");
    f.Text2.setText_dall_utente("esiti.txt");
    f.Text6.setText_dall_utente("5");
    f.Text4.setText_dall_utente("");
    f.Command4_Click();
  });
  b.cartella.scrivi("comandi.txt", "riga\r\n");
  b.p->Timer1_Timer();
  ASSERT_TRUE(b.p->stampa_in_corso);
  EXPECT_EQ(b.p->Timer2.Interval(), 5000);
  for (int i = 0; i < 10 && b.p->stampa_in_corso; ++i) b.p->Timer3_Timer();
  EXPECT_EQ(b.cartella.leggi("esiti.txt"), testo_result(0, messaggio_esito(0)));
  EXPECT_FALSE(b.cartella.esiste("comandi.txt"));
  EXPECT_FALSE(b.cartella.esiste("BorvanIF.LOG"));
}

}  // namespace
}  // namespace borvan

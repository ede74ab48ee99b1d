#include "app/principale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "comune/ambiente_finto.h"
#include "comune/cartella_temporanea.h"
#include "comune/driver_finto.h"
#include "comune/operatore_finto.h"
#include "errors/elabora_errore.h"

namespace borvan {
namespace {

using test::AmbienteFinto;
using test::CartellaTemporanea;
using test::DriverFinto;
using test::OperatoreFinto;

// The main window with a scripted register, a scripted operator and the real error routine.
class Banco {
 public:
  explicit Banco(const std::string& config = "") {
    if (!config.empty()) cartella.scrivi("BorvanIF.CFG", config);
    auto finto = std::make_unique<DriverFinto>();
    driver = finto.get();
    p = std::make_unique<Principale>(cartella.cartella(), std::move(finto), operatore, errori,
                                     ambiente);
    EXPECT_TRUE(p->Form_Load());
  }

  void comando(const std::string& contenuto) const { cartella.scrivi("Scontr.ECR", contenuto); }
  // Runs send ticks until the job ends (bounded, so that a stuck job fails the test).
  void invia_tutto() {
    for (int i = 0; i < 40000 && p->stampa_in_corso; ++i) p->Timer3_Timer();
  }
  std::string result() const { return cartella.leggi("Result.TXT"); }
  std::string log() const { return cartella.leggi("BorvanIF.LOG"); }

  CartellaTemporanea cartella;
  OperatoreFinto operatore;
  ErroriComuni errori{operatore};
  AmbienteFinto ambiente;
  DriverFinto* driver = nullptr;
  std::unique_ptr<Principale> p;
};

TEST(Principale, StartsIdleAndPollsAtTheConfiguredInterval) {
  Banco b("POLLING_TIME=800\r\n");
  EXPECT_FALSE(b.p->stampa_in_corso);
  EXPECT_FALSE(b.p->Command2.Visible());
  EXPECT_TRUE(b.p->Timer1.Enabled());
  EXPECT_EQ(b.p->Timer1.Interval(), 800);
  EXPECT_FALSE(b.p->Timer2.Enabled());
  EXPECT_FALSE(b.p->Timer3.Enabled());
  EXPECT_EQ(b.p->Timer3.Interval(), 1);
}

TEST(Principale, SecondInstanceEndsSilently) {
  CartellaTemporanea cartella;
  OperatoreFinto operatore;
  ErroriComuni errori{operatore};
  AmbienteFinto ambiente;
  ambiente.altra_istanza = true;
  Principale p(cartella.cartella(), std::make_unique<DriverFinto>(), operatore, errori, ambiente);
  EXPECT_FALSE(p.Form_Load());
  EXPECT_FALSE(p.Timer1.Enabled());
  EXPECT_EQ(operatore.modali(), 0u);
}

TEST(Principale, CloseAsksAndEndsOnlyOnYes) {
  Banco b;
  b.p->Command3_Click();
  EXPECT_EQ(b.ambiente.terminazioni, 0);
  b.operatore.risposte_domanda.push_back(true);
  b.p->Command3_Click();
  EXPECT_EQ(b.ambiente.terminazioni, 1);
  ASSERT_EQ(b.operatore.domande.size(), 2u);
  EXPECT_EQ(b.operatore.domande[0],
            "Sicuro di voler chiudere BorvanIF? Non sara' piu' possibile stampare gli scontrini "
            "finche' il programma non verra' riaperto.");
}

TEST(Principale, ThreeLinesAreSentInOrderOnePerTick) {
  Banco b("TIMEOUT=59\r\n");
  b.comando("uno\r\ndue\rtre\nancora\r\n");
  b.p->Timer1_Timer();
  ASSERT_TRUE(b.p->stampa_in_corso);
  EXPECT_TRUE(b.p->Command2.Visible());
  EXPECT_EQ(b.p->Timer2.Interval(), 59000);
  EXPECT_TRUE(b.p->Timer2.Enabled());
  EXPECT_TRUE(b.p->Timer3.Enabled());
  // A lone LF stays inside its line; the final line end adds no empty line.
  ASSERT_EQ(b.p->List2.ListCount(), 3);
  EXPECT_EQ(b.driver->chiamate, (std::vector<std::string>{"9 0", "12 PORT = 1"}));

  for (int16_t atteso = 0; atteso < 3; ++atteso) {
    b.p->Timer3_Timer();
    EXPECT_EQ(b.p->List2.ListIndex(), atteso);
    EXPECT_EQ(b.p->Label1.Caption(), "OK");
  }
  EXPECT_TRUE(b.p->stampa_in_corso);
  b.p->Timer3_Timer();
  EXPECT_FALSE(b.p->stampa_in_corso);
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"uno", "due", "tre\nancora"}));
  EXPECT_EQ(b.driver->conta(10), 3u);
  EXPECT_EQ(b.driver->chiamate.back(), "13");
  EXPECT_EQ(b.result(), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(b.log(), "12-05-2026\t14:03:07\t0\tStampa completata correttamente\r\n");
  EXPECT_FALSE(b.cartella.esiste("Scontr.ECR"));
  EXPECT_EQ(b.p->List2.ListCount(), 0);
  EXPECT_FALSE(b.p->Timer2.Enabled());
  EXPECT_FALSE(b.p->Timer3.Enabled());
  EXPECT_EQ(b.p->Label1.Caption(), "OK");  // the last status stays
  // The button stays until the next poll tick hides it.
  EXPECT_TRUE(b.p->Command2.Visible());
  b.p->Timer1_Timer();
  EXPECT_FALSE(b.p->Command2.Visible());
}

// Each row: a job's course and the outcome it must leave behind.
struct Percorso {
  const char* nome;
  std::string comando;
  std::function<void(Banco&)> prepara;
  std::string result;
  std::vector<std::string> inviate;
};

TEST(Principale, EveryCourseOfAJobEndsWithItsOutcome) {
  const std::vector<Percorso> percorsi = {
      {"empty file", "", nullptr, "0\r\nStampa completata correttamente\r\n", {}},
      {"line 2 refused",
       "a\r\nb\r\nc\r\n",
       [](Banco& b) {
         b.driver->rifiuti[2] = {7, " carta esaurita  "};
       },
       "7\r\nErrore di comunicazione con la cassa. Cod.7- carta esaurita\r\n",
       {"a"}},
      {"open refused",
       "a\r\n",
       [](Banco& b) { b.driver->risultato_apertura = 3; },
       "3\r\nErrore di comunicazione con la cassa. Cod.3-Errore su OPEN WinEcrCom\r\n",
       {}},
      {"open answers a table code",
       "a\r\n",
       [](Banco& b) { b.driver->risultato_apertura = -100; },
       "-100\r\nTimeout stampa-Errore su OPEN WinEcrCom\r\n",
       {}},
      {"property 9 raises",
       "a\r\n",
       [](Banco& b) {
         b.driver->guasto = [](int id) {
           if (id == 9) throw ErroreRuntime(57);
         };
       },
       "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa.\r\n",
       {}},
      {"open raises",
       "a\r\n",
       [](Banco& b) {
         b.driver->guasto = [](int id) {
           if (id == 12) throw ErroreRuntime(57);
         };
       },
       "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa.\r\n",
       {}},
      {"status not OK is only shown",
       "a\r\n",
       [](Banco& b) { b.driver->stato_registratore = -2; },
       "0\r\nStampa completata correttamente\r\n",
       {"a"}},
      {"close raises",
       "a\r\n",
       [](Banco& b) {
         b.driver->guasto = [](int id) {
           if (id == 13) throw ErroreRuntime(57);
         };
       },
       "0\r\nStampa completata correttamente\r\n",
       {"a"}},
  };
  for (const Percorso& percorso : percorsi) {
    SCOPED_TRACE(percorso.nome);
    Banco b;
    if (percorso.prepara) percorso.prepara(b);
    b.comando(percorso.comando);
    b.p->Timer1_Timer();
    b.invia_tutto();
    EXPECT_FALSE(b.p->stampa_in_corso);
    EXPECT_FALSE(b.p->Timer3.Enabled());
    EXPECT_EQ(b.result(), percorso.result);
    EXPECT_EQ(b.driver->inviate, percorso.inviate);
    EXPECT_EQ(b.driver->conta(13), 1u);
    EXPECT_FALSE(b.cartella.esiste("Scontr.ECR"));
    EXPECT_EQ(b.operatore.modali(), 0u);  // SHOW_ERRORS is off
  }
}

TEST(Principale, StatusIsShownAsCodeAndNumber) {
  Banco b;
  b.driver->stato_registratore = 3;
  b.comando("a\r\n");
  b.p->Timer1_Timer();
  b.p->Timer3_Timer();
  EXPECT_EQ(b.p->Label1.Caption(), "Cod.3");
}

TEST(Principale, TimeoutAndInterruptionEndTheJob) {
  for (const auto& [fine, atteso] :
       std::vector<std::pair<std::function<void(Principale&)>, std::string>>{
           {[](Principale& p) { p.Timer2_Timer(); }, "-100\r\nTimeout stampa\r\n"},
           {[](Principale& p) { p.Command2_Click(); }, "-101\r\nStampa interrotta dall'utente\r\n"},
       }) {
    Banco b;
    b.comando("a\r\nb\r\n");
    b.p->Timer1_Timer();
    b.p->Timer3_Timer();
    fine(*b.p);
    EXPECT_FALSE(b.p->stampa_in_corso);
    EXPECT_EQ(b.result(), atteso);
    EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
    b.p->Timer3_Timer();
    EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  }
}

TEST(Principale, NoTimeoutMeansNoTimeoutTimer) {
  Banco b("TIMEOUT=0\r\n");
  b.comando("a\r\n");
  b.p->Timer1_Timer();
  EXPECT_TRUE(b.p->stampa_in_corso);
  EXPECT_FALSE(b.p->Timer2.Enabled());
}

TEST(Principale, InterruptWhileIdleAndPollDuringAJobDoNothing) {
  Banco b;
  b.p->Command2_Click();
  EXPECT_FALSE(b.cartella.esiste("Result.TXT"));

  b.comando("a\r\nb\r\n");
  b.p->Timer1_Timer();
  b.comando("riscritto\r\n");  // rewritten while printing: not read, deleted with the job
  b.p->Timer1_Timer();
  EXPECT_EQ(b.driver->conta(12), 1u);
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(b.cartella.esiste("Scontr.ECR"));
}

// A failed job's message box runs a nested message loop: every tick and click it delivers
// must leave the ending job alone.
TEST(Principale, TicksInsideTheOutcomeBoxDoNotActOnTheEndingJob) {
  Banco b("SHOW_ERRORS=1\r\n");
  b.driver->rifiuti[2] = {7, "no"};
  b.comando("a\r\nb\r\nc\r\n");
  b.operatore.durante_modale = [&b] {
    b.comando("nuovo\r\n");  // a new job waiting must not start inside the box either
    b.p->Timer3_Timer();
    b.p->Timer2_Timer();
    b.p->Command2_Click();
    b.p->Timer1_Timer();
  };
  b.p->Timer1_Timer();
  b.invia_tutto();
  ASSERT_EQ(b.operatore.messaggi.size(), 1u);
  EXPECT_EQ(b.operatore.messaggi[0].testo, "Errore di comunicazione con la cassa. Cod.7-no");
  EXPECT_EQ(b.operatore.messaggi[0].icona, Icona::errore);
  EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  EXPECT_EQ(b.driver->conta(13), 1u);
  EXPECT_EQ(b.driver->conta(12), 1u);
  EXPECT_EQ(b.result(), "7\r\nErrore di comunicazione con la cassa. Cod.7-no\r\n");
  EXPECT_EQ(b.log().find("\r\n"), b.log().size() - 2);  // one log line
}

TEST(Principale, AFailedOpenBoxDoesNotStartAJobInsideIt) {
  Banco b("SHOW_ERRORS=1\r\n");
  b.driver->risultato_apertura = 3;
  b.comando("a\r\n");
  b.operatore.durante_modale = [&b] { b.p->Timer1_Timer(); };
  b.p->Timer1_Timer();
  EXPECT_EQ(b.driver->conta(12), 1u);
  EXPECT_FALSE(b.p->stampa_in_corso);
}

TEST(Principale, TicksInsideASendTicksErrorDialogDoNotSendTwice) {
  Banco b;
  int guasti = 1;
  b.driver->guasto = [&guasti](int id) {
    if (id == 17 && guasti-- > 0) throw ErroreRuntime(57);
  };
  b.comando("a\r\nb\r\n");
  b.p->Timer1_Timer();
  b.operatore.risposte_errore = {4};  // retry
  b.operatore.durante_modale = [&b] { b.p->Timer3_Timer(); };
  b.p->Timer3_Timer();
  EXPECT_EQ(b.operatore.testi_errore.size(), 1u);
  EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  b.operatore.durante_modale = nullptr;
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(b.result(), "0\r\nStampa completata correttamente\r\n");
}

TEST(Principale, ATimeoutDuringASendTicksErrorDialogEndsTheJobOnce) {
  Banco b;
  b.driver->guasto = [](int id) {
    if (id == 10) throw ErroreRuntime(57);
  };
  b.comando("a\r\nb\r\n");
  b.p->Timer1_Timer();
  b.operatore.risposte_errore = {4, 4, 4};
  b.operatore.durante_modale = [&b] { b.p->Timer2_Timer(); };
  b.p->Timer3_Timer();
  // The retry answered after the job ended does not run the step again on a closed register.
  EXPECT_EQ(b.operatore.testi_errore.size(), 1u);
  EXPECT_FALSE(b.p->stampa_in_corso);
  EXPECT_TRUE(b.driver->inviate.empty());
  EXPECT_EQ(b.driver->conta(13), 1u);
  EXPECT_EQ(b.result(), "-100\r\nTimeout stampa\r\n");
}

TEST(Principale, AGivenUpSendTickDoesNotSkipTheLine) {
  Banco b;
  int guasti = 1;
  b.driver->guasto = [&guasti, &b](int id) {
    if (id == 10 && b.driver->inviate.size() == 1 && guasti-- > 0) throw ErroreRuntime(57);
  };
  b.comando("a\r\nb\r\nc\r\n");
  b.p->Timer1_Timer();
  b.operatore.risposte_errore = {2};  // give up
  b.invia_tutto();
  EXPECT_EQ(b.operatore.testi_errore.size(), 1u);
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(b.result(), "0\r\nStampa completata correttamente\r\n");
}

TEST(Principale, AnUnreadableCommandFileEndsTheJobWithAnOutcome) {
  Banco b;
  // The file is found by the poll, then cannot be read: a folder takes its place.
  b.driver->guasto = [&b](int id) {
    if (id != 12) return;
    std::filesystem::remove(b.cartella.percorso("Scontr.ECR"));
    std::filesystem::create_directory(b.cartella.percorso("Scontr.ECR"));
  };
  b.comando("a\r\n");
  b.p->Timer1_Timer();
  EXPECT_FALSE(b.p->stampa_in_corso);
  EXPECT_FALSE(b.p->Timer3.Enabled());
  EXPECT_EQ(b.driver->conta(13), 1u);
  EXPECT_EQ(b.result().rfind("-50\r\nErrore durante l'inizializzazione della comunicazione con "
                             "la cassa.-Impossibile leggere il file comandi",
                             0),
            0u);
}

TEST(Principale, ACommandFileLongerThanTheListIsRefusedWhole) {
  Banco b;
  std::string lungo;
  for (int i = 0; i < ListBox::capacita + 1; ++i) lungo += "x\r\n";
  b.comando(lungo);
  b.p->Timer1_Timer();
  EXPECT_FALSE(b.p->stampa_in_corso);
  EXPECT_TRUE(b.driver->inviate.empty());
  EXPECT_EQ(b.result(),
            "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa.-File "
            "comandi troppo lungo: piu' di 32767 righe\r\n");

  lungo.resize(lungo.size() - 3);  // exactly as many lines as the list holds: printed whole
  b.comando(lungo);
  b.p->Timer1_Timer();
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate.size(), static_cast<size_t>(ListBox::capacita));
}

// A command file that cannot be deleted must not print again on every poll.
TEST(Principale, AnUndeletableCommandFileIsNotPrintedAgain) {
  Banco b;
  const std::string bloccata = b.cartella.percorso("bloccata");
  b.cartella.scrivi("BorvanIF.CFG", "INPUT_FILE=" + bloccata + "/Scontr.ECR\r\n");
  b.p->leggi_config();
  std::filesystem::create_directory(bloccata);
  b.cartella.scrivi("bloccata/Scontr.ECR", "a\r\n");
  // An immutable folder refuses deletions even to root.
  if (std::system(("chattr +i '" + bloccata + "' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "the file system cannot make a folder immutable here";
  b.p->Timer1_Timer();
  b.invia_tutto();
  b.p->Timer1_Timer();
  b.invia_tutto();
  const bool ancora = b.cartella.esiste("bloccata/Scontr.ECR");
  std::system(("chattr -i '" + bloccata + "'").c_str());
  ASSERT_TRUE(ancora);
  EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  // Changed, it is a new job.
  b.cartella.scrivi("bloccata/Scontr.ECR", "b\r\nb\r\n");
  b.p->Timer1_Timer();
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b", "b"}));
}

TEST(Principale, NoLogWhenTheLogPathIsEmptyAndResultFolderMissing) {
  Banco b("LOG_FILE=\r\nSHOW_ERRORS=1\r\nRESULT_FILE=/nonexistent-folder/Result.TXT\r\n");
  b.driver->risultato_apertura = 4;
  b.comando("a\r\n");
  b.p->Timer1_Timer();
  EXPECT_FALSE(b.cartella.esiste("BorvanIF.LOG"));
  EXPECT_EQ(b.operatore.messaggi.size(), 1u);  // the box still appears
  EXPECT_FALSE(b.cartella.esiste("Scontr.ECR"));
}

TEST(Principale, ConfigurationIsRefusedDuringAJob) {
  Banco b;
  int aperture = 0;
  b.ambiente.configurazione = [&aperture] { ++aperture; };
  b.comando("a\r\n");
  b.p->Timer1_Timer();
  b.p->Command1_Click();
  EXPECT_EQ(aperture, 0);
  ASSERT_EQ(b.operatore.messaggi.size(), 1u);
  EXPECT_EQ(b.operatore.messaggi[0].testo,
            "Stampa in corso. Impossibile aprire pagina di configurazione.");
  EXPECT_TRUE(b.p->stampa_in_corso);
}

}  // namespace
}  // namespace borvan

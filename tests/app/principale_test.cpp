#include "app/principale.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "comune/banco.h"
#include "support/file.h"

namespace borvan {
namespace {

using test::Banco;
namespace fs = std::filesystem;

const std::string riuscita = "0\r\nStampa completata correttamente\r\n";
const std::string apertura =
    "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa.";
const std::string cassa = "Errore di comunicazione con la cassa. Cod.";
const std::string timeout = "-100\r\nTimeout stampa\r\n";
const std::string interrotta = "-101\r\nStampa interrotta dall'utente\r\n";
const std::string abbandonata =
    "-102\r\nStampa non completata-Errore di I/O sulla periferica; righe accettate dalla cassa: ";
const std::string tre_righe = "a\r\nb\r\nc\r\n";

// Every course ends with one outcome, one close, no command file, no journal and an empty list
// left, and a box for a failure only; a job refused whole sends no line, a register status other
// than OK stops none, a line past the time-out is the job's last, and an interruption during the
// last line is the job's end all the same.
TEST(Principale, OgniPercorsoDiUnLavoroFinisceColSuoEsito) {
  struct Percorso {
    const char* nome;
    std::string comando;
    std::function<void(Banco&)> prepara;  // what goes wrong
    std::string result;
    std::vector<std::string> inviate;
    std::string nel_log = "";  // a line the log must also hold
  };
  std::string pieno;
  for (int i = 0; i < ListBox::capacita; ++i) pieno += "x\r\n";
  const std::string lungo = apertura + "-File comandi troppo lungo: piu' di ";
  const auto niente = [](Banco&) {};
  const auto solleva = [](int32_t membro) {
    return [membro](Banco& b) { b.driver->solleva = membro; };
  };
  const auto sparisce = [](Banco& b) {  // taken by the poll, deleted while the register opens
    b.driver->guasto = [&b](int) { fs::remove(b.cartella.percorso("Scontr.ECR")); };
  };
  const auto lento = [](Banco& b) {  // 15 s a line against the 20 s time-out
    b.driver->guasto = [&b](int id) { b.ambiente.orologio += id == membro_invia ? 15000 : 0; };
  };
  const auto giornale_bloccato = [](Banco& b) {
    fs::create_directory(b.cartella.percorso("BorvanIF.JRN"));
  };
  // An old result file that cannot be replaced goes: it is not this job's outcome.
  const auto result_bloccato = [](const char* ostacolo) {
    return [ostacolo](Banco& b) {
      b.cartella.scrivi("Result.TXT", riuscita);
      fs::remove(b.cartella.percorso(ostacolo));
      fs::create_directory(b.cartella.percorso(ostacolo));
    };
  };
  const auto interrotto_all_ultima = [](Banco& b) {
    b.driver->guasto = [&b](int id) {
      if (id == membro_invia && b.driver->inviate.size() == 2) b.p->Command2_Click();
    };
  };
  const std::string mancato = "0\tImpossibile scrivere il file risultati";
  const Percorso percorsi[] = {
      {"empty file", "", niente, riuscita, {}},
      {"lines, the register's status not OK",
       "uno\r\ndue\rtre\nancora\r\n",
       [](Banco& b) { b.driver->stato_registratore = 3; },
       riuscita,
       {"uno", "due", "tre\nancora"}},
      {"open raises", "a\r\n", solleva(membro_apri), apertura + "\r\n", {}},
      {"open refused",
       "a\r\n",
       [](Banco& b) { b.driver->risultato_apertura = 3; },
       "3\r\n" + cassa + "3-Errore su OPEN WinEcrCom\r\n",
       {}},
      {"close raises", "a\r\n", solleva(membro_chiudi), riuscita, {"a"}},
      {"no driver",
       "a\r\n",
       [](Banco& b) { b.driver->assenza = "Nessun driver"; },
       apertura + "-Nessun driver\r\n",
       {}},
      {"deleted once taken", "a\r\n", sparisce, riuscita, {"a"}},
      {"too long", pieno + "x\r\n", niente, lungo + "32767 righe\r\n", {}},
      {"as long as the list", pieno, niente, riuscita, std::vector<std::string>(32767, "x")},
      {"too big", std::string(8 << 20, 'x') + "\r", niente, lungo + "8388608 byte\r\n", {}},
      {"time-out", tre_righe, lento, timeout, {"a", "b"}},
      {"interrupted in the last line",
       tre_righe,
       interrotto_all_ultima,
       interrotta,
       {"a", "b", "c"}},
      {"result file blocked", "a\r\n", result_bloccato("Result.TXT"), "", {"a"}, mancato},
      {"its temporary blocked", "a\r\n", result_bloccato("Result.TXT.tmp"), "", {"a"}, mancato},
      {"no journal",
       "a\r\n",
       giornale_bloccato,
       apertura +
           "-Impossibile scrivere il giornale BorvanIF.JRN: Errore di accesso al percorso/file\r\n",
       {}},
  };
  for (const Percorso& caso : percorsi) {
    SCOPED_TRACE(caso.nome);
    Banco b("SHOW_ERRORS=1");
    caso.prepara(b);
    b.lavoro(caso.comando);
    b.invia_tutto();
    EXPECT_FALSE(b.p->stampa_in_corso() || b.cartella.esiste("Scontr.ECR") ||
                 b.p->List2.ListCount());
    EXPECT_FALSE(file_esiste(b.cartella.percorso("BorvanIF.JRN")));
    EXPECT_EQ(file_esiste(b.cartella.percorso("Result.TXT")) ? b.result() : "", caso.result);
    EXPECT_EQ(b.driver->inviate, caso.inviate);
    EXPECT_EQ(b.driver->conta("chiudi"), 1u);
    EXPECT_NE(b.cartella.leggi("BorvanIF.LOG").find(caso.nel_log), std::string::npos);
    EXPECT_EQ(b.operatore.messaggi.empty(), caso.result == riuscita);
    if (!b.driver->assenza.empty()) {  // nothing is asked of a register that is not there
      EXPECT_EQ(b.driver->chiamate, std::vector<std::string>{"chiudi"});
    }
  }
}

// However a job ends, ticks and clicks from its outcome's box leave it alone and start no other,
// and its end deletes its own command file only, not one dropped meanwhile. Idle, the time-out
// and the interruption do nothing; a job without a time limit has no time-out tick.
TEST(Principale, LaCasellaDellEsitoNonToccaIlLavoroCheFinisce) {
  struct Fine {
    const char* nome;
    void (*fine)(Banco&);  // after the first line
    std::string codice, messaggio;
  };
  const Fine fini[] = {
      {"line refused", [](Banco& b) { b.driver->riga_rifiutata = 2; }, "-7",
       cassa + "-7- carta esaurita"},
      {"time-out", [](Banco& b) { b.p->Timer2_Timer(); }, "-100", "Timeout stampa"},
      {"interrupted", [](Banco& b) { b.p->Command2_Click(); }, "-101",
       "Stampa interrotta dall'utente"},
  };
  for (const Fine& caso : fini) {
    SCOPED_TRACE(caso.nome);
    Banco b("TIMEOUT=0\r\nSHOW_ERRORS=1\r\n");
    b.p->Timer2_Timer();
    b.p->Command2_Click();
    EXPECT_FALSE(b.cartella.esiste("Result.TXT"));
    b.operatore.durante_modale = [&b] {
      b.cartella.scrivi("Scontr.ECR", "nuovo\r\n");
      b.p->Timer3_Timer();
      b.p->Timer2_Timer();
      b.p->Command2_Click();
      b.p->Timer1_Timer();
    };
    b.lavoro(tre_righe);
    EXPECT_FALSE(b.p->Timer2.Enabled());
    b.p->Timer3_Timer();
    caso.fine(b);
    b.invia_tutto();
    EXPECT_EQ(b.result(), caso.codice + "\r\n" + caso.messaggio + "\r\n");
    EXPECT_EQ(b.operatore.messaggi, std::vector<std::string>{caso.messaggio});
    EXPECT_EQ(b.cartella.leggi("BorvanIF.LOG"),
              "01-05-2026\t04:03:07\t" + caso.codice + "\t" + caso.messaggio + "\r\n");
    EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
    EXPECT_EQ(b.driver->conta("chiudi"), 1u);
    EXPECT_EQ(b.cartella.leggi("Scontr.ECR"), "nuovo\r\n");
  }
}

// A tick inside the dialog sends no line twice; a line given up ends the job there, also when
// the register is dead and no time-out would ever come.
TEST(Principale, IlDialogoDErroreDelTickDInvio) {
  using P = Principale;
  struct Caso {
    const char* nome;
    int32_t membro;  // the member that raises,
    int dopo;        // once this many lines are sent (-1: any),
    size_t volte;    // this many times
    std::deque<int32_t> risposte;
    void (P::*durante)();  // the tick that comes inside the dialog
    std::vector<std::string> inviate;
    std::string result;
  };
  const int32_t stato = membro_stato, invia = membro_invia;
  const Caso casi[] = {
      {"send, retried", invia, -1, 1, {4}, &P::Timer3_Timer, {"a", "b", "c"}, riuscita},
      {"status, time-out", stato, -1, 9, {4, 4, 4}, &P::Timer2_Timer, {}, timeout},
      {"status, given up", stato, 1, 1, {2}, &P::Timer1_Timer, {"a"}, abbandonata + "1 di 3\r\n"},
      {"dead register", invia, -1, 100, {}, &P::Timer1_Timer, {}, abbandonata + "0 di 3\r\n"},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    Banco b;
    b.driver->guasto = [&](int id) {
      if (id == caso.membro && b.operatore.testi_errore.size() < caso.volte &&
          (caso.dopo < 0 || b.driver->inviate.size() == static_cast<size_t>(caso.dopo)))
        throw ErroreRuntime(57);
    };
    b.operatore.risposte_errore = caso.risposte;
    b.operatore.durante_modale = [&] { ((*b.p).*caso.durante)(); };
    b.lavoro(tre_righe);
    b.invia_tutto();
    EXPECT_EQ(b.operatore.testi_errore.size(), 1u);
    EXPECT_EQ(b.driver->inviate, caso.inviate);
    EXPECT_EQ(b.driver->conta("chiudi"), 1u);
    EXPECT_EQ(b.result(), caso.result);
  }
}

// A register control that pumps messages delivers ticks and clicks inside its calls, here while
// the second of three lines is in progress: no call inside another, no line twice, one outcome;
// a time-out ends the job right after the call, the end of the session with the journal true.
TEST(Principale, TickEClicDentroUnaChiamataAlRegistratore) {
  enum class Effetto { nessuno, scadenza, termine };
  struct Evento {
    const char* nome;
    std::function<void(Banco&)> esegui;
    Effetto effetto;
    bool solleva = false;  // then the member raises
  };
  const Evento eventi[] = {
      {"poll", [](Banco& b) { b.p->Timer1_Timer(); }, Effetto::nessuno},
      {"send", [](Banco& b) { b.p->Timer3_Timer(); }, Effetto::nessuno},
      {"configuration", [](Banco& b) { b.p->Command1_Click(); }, Effetto::nessuno},
      {"time-out", [](Banco& b) { b.p->Timer2_Timer(); }, Effetto::scadenza},
      {"time-out, then the send raises",
       [](Banco& b) {
         b.p->Timer2_Timer();
         throw ErroreRuntime(57);
       },
       Effetto::scadenza, true},
      {"end of the session", [](Banco& b) { b.p->termina_programma(); }, Effetto::termine},
  };
  struct Membro {
    int id;
    int32_t accettate;  // the lines the register holds when the call returns
  };
  const Membro membri[] = {
      {membro_apri, 0}, {membro_stato, 1}, {membro_invia, 2}, {membro_chiudi, 3}};
  for (const Membro& membro : membri) {
    const bool nel_lavoro = membro.id == membro_stato || membro.id == membro_invia;
    for (const Evento& evento : eventi) {
      SCOPED_TRACE(std::to_string(membro.id) + ", " + evento.nome);
      if (evento.solleva && membro.accettate == 0) continue;  // a refused open, above
      Banco b;
      b.ambiente.configurazione = [] { ADD_FAILURE() << "configuration opened"; };
      bool fatto = false;
      b.driver->guasto = [&](int id) {
        if (id != membro.id || fatto || (nel_lavoro && b.driver->inviate.size() != 1)) return;
        fatto = true;
        evento.esegui(b);
      };
      std::optional<LavoroRegistrato> giornale_al_termine;
      b.ambiente.al_termine = [&] {
        EXPECT_FALSE(b.driver->in_chiamata());
        giornale_al_termine = Giornale(b.cartella.percorso("BorvanIF.JRN")).leggi();
        EXPECT_FALSE(b.cartella.esiste("Result.TXT"));
      };
      b.lavoro(tre_righe);
      b.invia_tutto();
      EXPECT_TRUE(fatto);
      EXPECT_TRUE(b.driver->annidate.empty());
      EXPECT_TRUE(
          b.operatore.testi_errore.empty());  // a failed step of an ending job is not retried
      if (evento.effetto == Effetto::termine) {
        ASSERT_EQ(b.ambiente.terminazioni, 1);
        // Before the first line the job is not in the journal: its file is printed anew.
        EXPECT_EQ(giornale_al_termine.has_value(), membro.accettate > 0);
        if (giornale_al_termine) {
          EXPECT_EQ(giornale_al_termine->accettate, membro.accettate);
          EXPECT_FALSE(giornale_al_termine->esito);
        }
        continue;
      }
      // In the open there is no job yet, and in the close it is already ending.
      const bool finisce = evento.effetto == Effetto::scadenza && nel_lavoro;
      const size_t stampate = !finisce ? 3 : membro.id == membro_invia && !evento.solleva ? 2 : 1;
      const std::vector<std::string> righe = {"a", "b", "c"};
      EXPECT_EQ(b.driver->inviate, decltype(righe)(righe.begin(), righe.begin() + stampate));
      EXPECT_EQ(b.result(), finisce ? timeout : riuscita);
      EXPECT_EQ(b.driver->conta("chiudi"), 1u);
      EXPECT_EQ(b.righe_log(), 1u);
      EXPECT_FALSE(b.cartella.esiste("BorvanIF.JRN") || b.cartella.esiste("Scontr.ECR"));
    }
  }
}

// A change in the folder is the poll at once, but not during a job or the configuration dialog,
// which a job refuses; their end asks the watch for one more look. After the dialog the poll runs
// again at the interval, and the watch follows the file, the settings then give; a job without a
// time limit keeps none of the previous job's.
TEST(Principale, UnCambiamentoNellaCartellaEIlPollSubitoConLeSueRegole) {
  Banco b;
  const Sorveglianza& sorveglianza = b.p->sorveglianza;
  EXPECT_EQ(sorveglianza.richieste(), 1u);  // a file waiting at the start is taken at once
  b.cartella.scrivi("Scontr.ECR", "a\r\n");
  b.p->cartella_cambiata();
  ASSERT_TRUE(b.p->stampa_in_corso());
  b.p->Command1_Click();
  b.cartella.scrivi("Scontr.ECR", "b 1\r\n");  // the next job, dropped during this one
  b.p->cartella_cambiata();
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  EXPECT_EQ(sorveglianza.richieste(), 2u);
  b.p->cartella_cambiata();
  EXPECT_TRUE(b.p->stampa_in_corso());
  b.invia_tutto();

  const std::string cassa_2 = b.cartella.percorso("cassa 2");
  fs::create_directory(cassa_2);
  b.ambiente.configurazione = [&] {
    b.cartella.scrivi("BorvanIF.CFG",
                      "TIMEOUT=0\r\nPOLLING_TIME=800\r\nINPUT_FILE=" + cassa_2 + "/Cassa.ECR\r\n");
    b.cartella.scrivi("cassa 2/Cassa.ECR", "c\r\n");
    b.cartella.scrivi("Scontr.ECR", "x\r\n");
    b.p->cartella_cambiata();
    EXPECT_FALSE(b.p->stampa_in_corso());
  };
  const uint64_t prima = sorveglianza.richieste();
  b.p->Command1_Click();
  EXPECT_EQ(sorveglianza.cartella() + "/" + sorveglianza.nome(), cassa_2 + "/Cassa.ECR");
  EXPECT_GT(sorveglianza.richieste(), prima);
  EXPECT_TRUE(b.p->Timer1.Enabled() && b.p->Timer1.Interval() == 800);
  b.ambiente.orologio = 60000;
  b.p->cartella_cambiata();
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b 1", "c"}));
  EXPECT_EQ(b.righe_log(), 3u);
  EXPECT_EQ(
      b.operatore.messaggi,
      std::vector<std::string>{"Stampa in corso. Impossibile aprire pagina di configurazione."});
}

// An undeletable command file does not print again on every poll; changed, it is a new job.
TEST(Principale, UnFileComandiNonCancellabileNonSiRistampa) {
  Banco b;
  const std::string bloccata = b.cartella.percorso("bloccata");
  b.cartella.scrivi("BorvanIF.CFG", "INPUT_FILE=" + bloccata + "/Scontr.ECR\r\n");
  b.p->leggi_config();
  fs::create_directory(bloccata);
  b.cartella.scrivi("bloccata/Scontr.ECR", "a\r\n");
  if (std::system(("chattr +i '" + bloccata + "' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "the file system cannot make a folder immutable here";
  for (int volta = 0; volta < 2; ++volta) {
    b.p->Timer1_Timer();
    b.invia_tutto();
  }
  const bool ancora = b.cartella.esiste("bloccata/Scontr.ECR");
  std::system(("chattr -i '" + bloccata + "'").c_str());
  ASSERT_TRUE(ancora);
  EXPECT_EQ(b.driver->inviate, std::vector<std::string>{"a"});
  b.cartella.scrivi("bloccata/Scontr.ECR", "b\r\nb\r\n");
  b.p->Timer1_Timer();
  b.invia_tutto();
  EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b", "b"}));
}

// A start that finds a job an earlier run left unfinished gives it its outcome once, sends none
// of its lines again and deletes its command file, never another one; a poll inside that
// outcome's box starts nothing. A journal cut short is no job.
TEST(Principale, LAvvioChiudeIlLavoroLasciatoAMeta) {
  const std::string chiuso =
      "-102\r\nStampa non completata-BorvanIF chiuso durante la stampa; "
      "righe accettate dalla cassa: 2 di 3\r\n";
  const auto a_meta = [&](Banco& b) {  // a job printed, then the next killed after two lines
    b.lavoro("x\r\n");
    b.invia_tutto();
    b.lavoro(tre_righe);
    b.p->Timer3_Timer();
    b.p->Timer3_Timer();
  };
  const auto deciso = [&](Banco& b) {  // ended with 7, killed before the result was written
    const std::string comandi = b.cartella.percorso("Scontr.ECR");
    Giornale giornale(b.cartella.percorso("BorvanIF.JRN"));
    giornale.inizia({comandi, *identita_file(comandi), 3, 1, {}});
    giornale.decidi(7, " carta esaurita  ");
  };
  const auto scritto = [](Banco& b) {  // killed while its outcome was on screen, its file gone
    std::string giornale;
    b.operatore.durante_modale = [&] { giornale = b.cartella.leggi("BorvanIF.JRN"); };
    b.driver->riga_rifiutata = 2;
    b.lavoro(tre_righe);
    b.invia_tutto();
    b.cartella.scrivi("BorvanIF.JRN", giornale);
    fs::remove(b.cartella.percorso("Result.TXT"));
  };
  struct Caso {
    const char* nome;
    std::function<void(Banco&)> interrotto;  // the run that is cut short
    std::string dopo;                        // the command file dropped before the restart
    std::string result;                      // the outcome the restart writes
    std::string rimasto;                     // the command file it leaves
  };
  const Caso casi[] = {
      {"killed, next job dropped", a_meta, "nuovo\r\n", chiuso, "nuovo\r\n"},
      {"outcome decided", deciso, "", "7\r\n" + cassa + "7- carta esaurita\r\n", ""},
      {"outcome written", scritto, "nuovo\r\n", "", "nuovo\r\n"},
      {"journal cut short",
       [](Banco& b) { b.cartella.scrivi("BorvanIF.JRN", "BorvanIF JRN 1\r\n00"); }, "", "",
       tre_righe},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    Banco b("SHOW_ERRORS=1");
    b.cartella.scrivi("Scontr.ECR", tre_righe);
    caso.interrotto(b);
    if (!caso.dopo.empty()) b.cartella.scrivi("Scontr.ECR", caso.dopo);
    b.operatore.durante_modale = [&b] { b.p->Timer1_Timer(); };
    b.riavvia();
    EXPECT_EQ(b.result(), caso.result);
    EXPECT_EQ(b.cartella.leggi("Scontr.ECR"), caso.rimasto);
    EXPECT_FALSE(b.cartella.esiste("BorvanIF.JRN"));
    EXPECT_TRUE(b.driver->chiamate.empty());
  }
}

}  // namespace
}  // namespace borvan

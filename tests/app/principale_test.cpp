#include "app/principale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "comune/banco.h"
#include "support/file.h"
#include "support/protetto.h"

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
  const auto fine_della_sessione = [](Banco& b) {  // as the register closes a refused line
    b.driver->riga_rifiutata = 1;
    b.driver->guasto = [&b](int id) {
      if (id == membro_chiudi) b.p->termina_programma();
    };
  };
  const auto stato_3 = [](Banco& b) { b.driver->stato_registratore = 3; };
  const auto apertura_3 = [](Banco& b) { b.driver->risultato_apertura = 3; };
  const auto senza_driver = [](Banco& b) { b.driver->assenza = "Nessun driver"; };
  const std::string mancato = "0\tImpossibile scrivere il file risultati";
  const std::string senza_giornale =
      "-Impossibile scrivere il giornale BorvanIF.JRN: Errore di accesso al percorso/file\r\n";
  const std::string rifiutata = "-7\r\n" + cassa + "-7- carta esaurita\r\n";
  const Percorso percorsi[] = {
      {"empty file", "", niente, riuscita, {}},
      {"status 3", "uno\r\ndue\rtre\nancora\r\n", stato_3, riuscita, {"uno", "due", "tre\nancora"}},
      {"open raises", "a\r\n", solleva(membro_apri), apertura + "\r\n", {}},
      {"open refused", "a\r\n", apertura_3, "3\r\n" + cassa + "3-Errore su OPEN WinEcrCom\r\n", {}},
      {"close raises", "a\r\n", solleva(membro_chiudi), riuscita, {"a"}},
      {"no driver", "a\r\n", senza_driver, apertura + "-Nessun driver\r\n", {}},
      {"deleted once taken", "a\r\n", sparisce, riuscita, {"a"}},
      {"too long", pieno + "x\r\n", niente, lungo + "32767 righe\r\n", {}},
      {"as long as the list", pieno, niente, riuscita, std::vector<std::string>(32767, "x")},
      {"too big", std::string(8 << 20, 'x') + "\r", niente, lungo + "8388608 byte\r\n", {}},
      {"time-out", tre_righe, lento, timeout, {"a", "b"}},
      {"the session ends as the register closes", "a\r\n", fine_della_sessione, rifiutata, {}},
      {"interrupted, last line", tre_righe, interrotto_all_ultima, interrotta, {"a", "b", "c"}},
      {"result file blocked", "a\r\n", result_bloccato("Result.TXT"), "", {"a"}, mancato},
      {"its temporary blocked", "a\r\n", result_bloccato("Result.TXT.tmp"), "", {"a"}, mancato},
      {"no journal", "a\r\n", giornale_bloccato, apertura + senza_giornale, {}},
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
    // A box for a failure, none once the program's end waits for the job's.
    EXPECT_EQ(b.operatore.messaggi.empty(), caso.result == riuscita || b.ambiente.terminazioni);
    if (!b.driver->assenza.empty()) {  // nothing is asked of a register that is not there
      EXPECT_EQ(b.driver->chiamate, std::vector<std::string>{"chiudi"});
    }
  }
}

// However a job ends, ticks and clicks from its outcome's box leave it alone and start no other,
// and its end deletes its own command file only, not one dropped meanwhile; a close asked while
// the register closes is asked once the job has ended. Idle, the time-out and the interruption do
// nothing; a job without a time limit has no time-out tick.
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
      if (!b.operatore.domande.empty()) {  // the close asked as the register closed
        EXPECT_FALSE(b.p->stampa_in_corso());
        return;
      }
      b.cartella.scrivi("Scontr.ECR", "nuovo\r\n");
      b.p->Timer3_Timer();
      b.p->Timer2_Timer();
      b.p->Command2_Click();
      b.p->Timer1_Timer();
    };
    b.lavoro(tre_righe);
    EXPECT_FALSE(b.p->Timer2.Enabled());
    b.p->Timer3_Timer();
    b.driver->guasto = [&b](int id) {
      if (id == membro_chiudi) b.p->Command3_Click();
    };
    caso.fine(b);
    b.invia_tutto();
    EXPECT_EQ(b.operatore.domande.size(), 1u);
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
// the second of three lines is in progress: no call inside another, no line twice, one outcome,
// no box until the call's handler is over (a time-out tick inside it shows when it came). An end
// of the program (the session's, the installer's, the close question's Yes) comes right after
// the call with the journal true, or once the job being ended has ended; past the limit, at once.
TEST(Principale, TickEClicDentroUnaChiamataAlRegistratore) {
  struct Evento {
    const char* nome;
    std::function<void(Banco&)> esegui;
    // Lines printed, by member (open, status, send, close): fewer than three, the job timed out.
    // When it ends the program: the lines in the journal then, -1 for no journal.
    int righe[4];
    bool termina = false;
    size_t finestre = 0;   // boxes and dialogs opened
    bool solleva = false;  // then the member raises
  };
  using P = Principale;
  const auto due_volte = [](void (P::*clic)(), bool si = false) {
    return [clic, si](Banco& b) {
      b.operatore.risposte_domanda = {si};
      ((*b.p).*clic)();
      ((*b.p).*clic)();
    };
  };
  const auto poi_bloccata = [](void (P::*chiesto)()) {  // the call stops answering
    return [chiesto](Banco& b) {
      b.operatore.risposte_domanda = {true};
      ((*b.p).*chiesto)();
      b.ambiente.orologio += P::limite_chiamata_ms;
      b.p->guardia_Timer();
    };
  };
  const auto scade_e_solleva = [](Banco& b) {
    b.p->Timer2_Timer();
    throw ErroreRuntime(57);
  };
  const Evento eventi[] = {
      {"poll", [](Banco& b) { b.p->Timer1_Timer(); }, {3, 3, 3, 3}},
      {"send", [](Banco& b) { b.p->Timer3_Timer(); }, {3, 3, 3, 3}},
      {"configuration", due_volte(&P::Command1_Click), {0, 2, 2, 3}, false, 1},
      {"close, No", due_volte(&P::Command3_Click), {0, 2, 2, 3}, false, 1},
      {"time-out", [](Banco& b) { b.p->Timer2_Timer(); }, {3, 1, 2, 3}},
      {"time-out, then the send raises", scade_e_solleva, {3, 1, 1, 3}, false, 0, true},
      {"end of the session", [](Banco& b) { b.p->termina_programma(); }, {-1, 1, 2, -1}, true},
      {"close, Yes", due_volte(&P::Command3_Click, true), {0, 2, 2, -1}, true, 1},
      {"close, then stuck", poi_bloccata(&P::Command3_Click), {-1, 1, 1, 3}, true, 1},
      {"end, then stuck", poi_bloccata(&P::termina_programma), {-1, 1, 1, 3}, true},
  };
  const int membri[] = {membro_apri, membro_stato, membro_invia, membro_chiudi};
  for (size_t m = 0; m < std::size(membri); ++m) {
    const int membro = membri[m];
    const bool nel_lavoro = membro == membro_stato || membro == membro_invia;
    for (const Evento& evento : eventi) {
      SCOPED_TRACE(std::to_string(membro) + ", " + evento.nome);
      if (evento.solleva && membro == membro_apri) continue;  // a refused open, above
      Banco b;
      bool fatto = false;
      b.driver->guasto = [&](int id) {
        if (id != membro || fatto || (nel_lavoro && b.driver->inviate.size() != 1)) return;
        fatto = true;
        evento.esegui(b);
      };
      b.operatore.durante_modale = [&] {
        EXPECT_TRUE(!b.driver->in_chiamata() || b.ambiente.orologio >= P::limite_chiamata_ms);
        if (!evento.termina) b.p->Timer2_Timer();
      };
      // The configuration dialog, a modal window as the boxes are.
      b.ambiente.configurazione = [&b] { b.operatore.messaggio("", Icona::nessuna); };
      std::optional<LavoroRegistrato> giornale;
      std::string result;
      b.ambiente.al_termine = [&] {
        EXPECT_EQ(b.driver->in_chiamata(), b.ambiente.orologio >= P::limite_chiamata_ms);
        giornale = Giornale(b.cartella.percorso("BorvanIF.JRN")).leggi();
        result = b.cartella.leggi("Result.TXT");
      };
      b.lavoro(tre_righe);
      b.invia_tutto();
      EXPECT_TRUE(fatto);
      EXPECT_TRUE(b.driver->annidate.empty());
      EXPECT_EQ(b.operatore.modali.size(), evento.finestre);
      // A failed step of an ending job is not retried.
      EXPECT_TRUE(b.operatore.testi_errore.empty());
      // Past the limit the log says which member hangs, once.
      const bool bloccata = b.ambiente.orologio > 0;
      const std::string log = b.cartella.leggi("BorvanIF.LOG");
      EXPECT_EQ(b.righe_log(), bloccata ? 2u : 1u);
      EXPECT_EQ(log.find("il membro " + std::to_string(membro)) != std::string::npos, bloccata);
      const int righe = evento.righe[m];
      if (evento.termina) {
        ASSERT_EQ(b.ambiente.terminazioni, 1);
        // Before the job starts it is not in the journal: its file is printed anew. Once ended,
        // its outcome is written, its journal gone.
        EXPECT_EQ(giornale.has_value(), righe >= 0);
        if (giornale) {
          EXPECT_EQ(giornale->accettate, righe);
          EXPECT_FALSE(giornale->esito);
        }
        EXPECT_EQ(result, membro == membro_chiudi && !bloccata ? riuscita : "");
        continue;
      }
      const std::vector<std::string> tutte = {"a", "b", "c"};
      EXPECT_EQ(b.driver->inviate, decltype(tutte)(tutte.begin(), tutte.begin() + righe));
      EXPECT_EQ(b.result(), righe == 3 ? riuscita : timeout);
      EXPECT_EQ(b.driver->conta("chiudi"), 1u);
      EXPECT_FALSE(b.cartella.esiste("BorvanIF.JRN") || b.cartella.esiste("Scontr.ECR"));
    }
  }
}

// The close question is asked once: a close while it is open does nothing, unless a register
// call under it has stopped answering, whose question could never return.
TEST(Principale, LaDomandaDiChiusuraUnaVolta) {
  Banco b;
  b.lavoro(tre_righe);
  b.driver->guasto = [&b](int id) {
    if (id != membro_invia) return;
    b.ambiente.orologio += Principale::limite_chiamata_ms;
    b.p->Command3_Click();
  };
  b.operatore.risposte_domanda = {true};
  b.operatore.durante_modale = [&b] {
    if (b.operatore.domande.size() > 1) return;
    b.p->Command3_Click();
    b.p->Timer3_Timer();
  };
  b.p->Command3_Click();
  EXPECT_EQ(b.operatore.domande.size(), 2u);
  EXPECT_EQ(b.ambiente.terminazioni, 1);
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

// An undeletable command file does not print again on every poll.
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
}

// File systems that tell files apart less well: IDs from the place of a file's entry (the same
// for any file at the path, another after a rename) or none, times too coarse to tell. A job's
// end deletes its own file or none: a next job of the same size dropped during it, or over a
// file left, is printed, never deleted; no file is printed twice, but one taken away and dropped
// again is a new job; the log says once why one stays.
TEST(Principale, DischiCheDistinguonoMenoIFile) {
  for (const bool senza_id : {false, true}) {
    SCOPED_TRACE(senza_id);
    Banco b;
    b.ambiente.disco = [&](IdentitaFile id, const std::string& percorso) {
      id.indice = senza_id ? 0 : std::hash<std::string>{}(percorso);
      id.modificato = 0;
      return id;
    };
    b.lavoro("a\r\n");
    b.cartella.scrivi("Scontr.ECR", "b\r\n");
    b.invia_tutto();
    for (const char* dopo : {"", "", "c\r\n", "", "-", "c\r\n"}) {  // "-": taken away
      if (*dopo == '-') fs::remove(b.cartella.percorso("Scontr.ECR"));
      if (*dopo != '\0' && *dopo != '-') b.cartella.scrivi("Scontr.ECR", dopo);
      b.p->Timer1_Timer();
      b.invia_tutto();
    }
    EXPECT_EQ(b.driver->inviate, (std::vector<std::string>{"a", "b", "c", "c"}));
    EXPECT_EQ(b.cartella.esiste("Scontr.ECR"), senza_id);  // left where it cannot be proved
    EXPECT_EQ(b.righe_log(), senza_id ? 5u : 4u);
  }
}

// A second start beside a running instance ends at once, silently. A lock refused where no
// instance shows itself (a server holding it after a crash) is asked again for a minute; then
// the log says why the program does not start.
TEST(Principale, UnBloccoSenzaIstanzaVisibileSiAttende) {
  struct Caso {
    int rifiuti;
    bool vista, parte;
    int64_t attesa;
  };
  for (const Caso& caso :
       {Caso{-1, true, false, 0}, Caso{3, false, true, 1000}, Caso{-1, false, false, 60000}}) {
    Banco b;
    b.ambiente.blocco_rifiutato = caso.rifiuti;
    b.ambiente.istanza_vista = caso.vista;
    b.riavvia();
    EXPECT_EQ(b.p->Timer1.Enabled(), caso.parte);
    EXPECT_EQ(b.ambiente.orologio, caso.attesa);
    EXPECT_EQ(b.righe_log(), caso.attesa == 60000 ? 1u : 0u);  // the note, on giving up
  }
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

// An error escaping a handler is said in the log while the program lives, and reaches nothing
// once its window is gone.
TEST(Principale, UnErroreSfuggitoVaNelLogFinoAllaFine) {
  Banco b;
  esegui_protetto([] { throw std::runtime_error("guasto"); });
  EXPECT_NE(b.cartella.leggi("BorvanIF.LOG").find("\tErrore non gestito: guasto\r\n"),
            std::string::npos);
  const size_t righe = b.righe_log();
  b.p.reset();
  esegui_protetto([] { throw std::runtime_error("tardi"); });
  EXPECT_EQ(b.righe_log(), righe);
}

}  // namespace borvan

// The real program as a till runs it: the same on every platform, then where only POSIX lets a
// test stage the case.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "comune/esiti_comuni.h"

namespace borvan::test {
namespace {

// The ways a running program is ended from outside during a job: killed; asked to end (on
// POSIX by a signal, on Windows by the close question's Yes) while the register runs the
// program's loop inside its calls, or inside a call that never returns.
struct Fermata {
  const char* nome;
  void (*ferma)(Processo&, const Cassa&);
  std::string registratore;  // ECRSIM.CFG
  bool (*pronto)(const Cassa&) = [](const Cassa& c) { return c.righe_stampate() >= 2; };
};
const std::string bloccato = sul_membro("HANG", membro_invia);
#ifdef _WIN32
// The question comes once the call in progress has returned, its line printed, or once the call
// has run past its limit.
void chiudi_si(Processo&, const Cassa& cassa) {
  const size_t prima = cassa.righe_stampate();
  const auto clic = std::chrono::steady_clock::now();
  PostMessageA(FindWindowA("BorvanIF_Principale", nullptr), WM_CLOSE, 0, 0);
  HWND domanda = nullptr;
  ASSERT_TRUE(attendi([&] { return (domanda = FindWindowA("#32770", "BorvanIF")) != nullptr; }));
  EXPECT_TRUE(cassa.righe_stampate() > prima || std::chrono::steady_clock::now() - clic > 9s);
  PostMessageA(domanda, WM_COMMAND, IDYES, 0);
}
// The first line's status shown: its send, which hangs, begins.
bool invio_iniziato(const Cassa&) {
  return FindWindowExA(FindWindowA("BorvanIF_Principale", nullptr), nullptr, "Static", "OK");
}
const Fermata fermate[] = {{"killed", [](Processo& p, const Cassa&) { p.ferma(); }, ""},
                           {"closed", chiudi_si, pompa(1000)},
                           {"closed as the call hangs", chiudi_si, bloccato, invio_iniziato}};
#else
// Nothing outside tells the moment the hung call begins: the log does once it has passed its limit.
bool invio_bloccato(const Cassa& cassa) {
  return cassa.leggi("BorvanIF.LOG").find("non risponde") != std::string::npos;
}
const auto sigterm = [](Processo& p, const Cassa&) { p.ferma(SIGTERM); };
const Fermata fermate[] = {{"SIGKILL", [](Processo& p, const Cassa&) { p.ferma(SIGKILL); }, ""},
                           {"SIGTERM", sigterm, ""},
                           {"SIGTERM, pumping", sigterm, pompa(300)},
                           {"SIGTERM, the call hung", sigterm, bloccato, invio_bloccato}};
#endif

// Whether the log ends with a line of this outcome, stamped with a local time between `prima`
// and `dopo`.
bool finisce_con_esito(const std::string& log, std::time_t prima, std::time_t dopo,
                       const std::string& esito) {
  char quando[32];
  for (std::time_t t = prima - 1; t <= dopo + 1; ++t)
    if (std::strftime(quando, sizeof quando, "\n%m-%d-%Y\t%H:%M:%S\t", std::localtime(&t)) &&
        ("\n" + log).ends_with(quando + esito + "\r\n"))
      return true;
  return false;
}

// Each outcome, job after job on one start: the next job starts only once the previous one is
// over, and each logs its one outcome, stamped with the local time.
TEST(Programma, OgniEsito) {
  std::vector<EsitoAtteso> casi(std::begin(esiti_comuni), std::end(esiti_comuni));
  // The time-out falls due during the second 600 ms line: no third line is sent.
  casi.push_back({"time-out", "LINE_DELAY_MS=600\r\n", 10, "-100\tTimeout stampa", 2, 2});
  // The register runs the program's loop for 300 ms in each call, the time-out tick comes inside
  // one: mostly the second line's send, which still prints; never a third line.
  casi.push_back({"time-out, pumping", pompa(300), 10, "-100\tTimeout stampa", 1, 2});
  casi.push_back(esiti_comuni[0]);
  Cassa cassa("TIMEOUT=1\r\n");
  const auto programma = cassa.avvia();
  ASSERT_TRUE(programma);
  for (const EsitoAtteso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    cassa.imposta_registratore(caso.simulatore);
    const std::time_t prima = std::time(nullptr);
    verifica_lavoro(cassa, caso);
    const std::string log = cassa.leggi("BorvanIF.LOG");
    EXPECT_TRUE(finisce_con_esito(log, prima, std::time(nullptr), caso.esito)) << log;
  }
  EXPECT_TRUE(programma->in_vita());
  EXPECT_EQ(cassa.esiti_nel_log(), casi.size());
}

// Ended from outside in the middle of a job, within 15 s whatever the register does: the next
// start sends none of its lines again, gives it its outcome and deletes its command file; the
// dead instance's lock keeps it out no more. A second start in the same folder ends at once with
// code 0; the first takes the next job.
TEST(Programma, UnLavoroInterrottoEUnaSolaIstanza) {
  for (const Fermata& fermata : fermate) {
    SCOPED_TRACE(fermata.nome);
    Cassa cassa;
    cassa.imposta_registratore("LINE_DELAY_MS=300\r\n" + fermata.registratore);
    auto programma = cassa.avvia();
    cassa.deponi(comandi(5));
    ASSERT_TRUE(attendi([&] { return fermata.pronto(cassa); }));
    const auto chiesta = std::chrono::steady_clock::now();
    fermata.ferma(*programma, cassa);
    ASSERT_TRUE(terminato(*programma));
    EXPECT_LT(std::chrono::steady_clock::now() - chiesta, 15s);
    const size_t stampate = cassa.righe_stampate();
    ASSERT_LT(stampate, 5u);
    EXPECT_TRUE(cassa.esiste("Scontr.ECR"));
    EXPECT_FALSE(cassa.esiste("Result.TXT"));

    cassa.imposta_registratore("");
    programma = cassa.avvia();
    ASSERT_TRUE(
        attendi([&] { return cassa.esiste("Result.TXT") && !cassa.esiste("BorvanIF.JRN"); }));
    verifica_esito(cassa, interrotto + std::to_string(stampate) + " di 5");
    EXPECT_FALSE(cassa.esiste("Scontr.ECR"));

    const auto secondo = cassa.avvia();
    ASSERT_TRUE(terminato(*secondo)) << "the second instance still runs";
    EXPECT_EQ(secondo->uscita(), 0u);
    ASSERT_TRUE(cassa.lavoro("S\r\n"));
    EXPECT_EQ(cassa.righe_stampate(), stampate + 1);
    EXPECT_TRUE(programma->in_vita());
  }
}

// A point-of-sale program that drops its next job as soon as it reads the previous outcome:
// every line printed once, none lost, no job stuck.
void verifica_lavori_consecutivi(const Cassa& cassa, int lavori) {
  std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
  int bloccati = 0, falliti = 0;
  std::string rotolo;  // every line once, in the jobs' order
  for (int lavoro = 0; lavoro < lavori && bloccati < 3; ++lavoro) {
    std::filesystem::remove(cassa.percorso("Result.TXT"));
    const std::string n = std::to_string(lavoro);
    const std::string righe = "J" + n + " A\r\nJ" + n + " B\r\n";
    rotolo += righe;
    cassa.deponi(righe);
    // Read as soon as it can be read: the next job is dropped the moment an outcome appears.
    std::string esito;
    if (!attendi([&] { return !(esito = cassa.leggi("Result.TXT")).empty(); }, 60s, 1ms)) {
      ++bloccati;
      continue;
    }
    if (!esito.starts_with("0\r\n")) ++falliti;
  }
  EXPECT_EQ(bloccati, 0);
  EXPECT_EQ(falliti, 0);
  EXPECT_TRUE(cassa.leggi("ECRSIM.TXT") == rotolo)
      << "lines lost, repeated or out of order: " << cassa.righe_stampate() << " of " << 2 * lavori;
}

// One start, jobs back to back. The point-of-sale program writing its command file in place,
// opened as the C library's "wb" opens it, in two halves a second apart: the system tells a file
// its writer still holds, as long as the program may take its lease; one job, the whole
// receipt. Thousands of jobs, each dropped as the previous outcome appears: under wine too,
// where a file's deletion goes by its name, no job's file is lost to the next. Then a register
// that runs the program's message loop inside its calls, as many controls do: a command file
// dropped while the register is being opened (its roll is ready, it has not answered) is the
// next job, the one taken first printed before it; jobs back to back, each line once; one
// outcome a job.
TEST(Programma, LavoriUnoDopoLAltro) {
  Cassa cassa("POLLING_TIME=11\r\n");
  const auto programma = cassa.avvia();
  const std::string prima = "ARTICOLO 1\r\nARTICOLO 2\r\n", dopo = "TOTALE\r\nCHIUSURA\r\n";
  std::thread scrittore([&] {
    std::FILE* file = std::fopen(cassa.percorso("Scontr.ECR").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(prima.c_str(), file);
    std::fflush(file);
    std::this_thread::sleep_for(1s);
    std::fputs(dopo.c_str(), file);
    std::fclose(file);
  });
  const bool finito = cassa.finito();
  scrittore.join();
  ASSERT_TRUE(finito);
  verifica_esito(cassa, fine_stampa);
  EXPECT_EQ(cassa.esiti_nel_log(), 1u);
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), prima + dopo);

  constexpr int lavori = 4000, lavori_pompando = 400;
  verifica_lavori_consecutivi(cassa, lavori);

  cassa.imposta_registratore(pompa(1000));
  std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
  std::filesystem::remove(cassa.percorso("Result.TXT"));
  cassa.deponi("A\r\n");
  ASSERT_TRUE(attendi([&] { return cassa.esiste("ECRSIM.TXT"); }));
  ASSERT_TRUE(cassa.lavoro("B 1\r\nB 2\r\n"));
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "A\r\nB 1\r\nB 2\r\n");
  EXPECT_EQ(cassa.leggi("Result.TXT"), "0\r\nStampa completata correttamente\r\n");

  cassa.imposta_registratore(pompa(6));
  verifica_lavori_consecutivi(cassa, lavori_pompando);
  // The log's line follows the result file.
  const size_t esiti = 1 + lavori + 2 + lavori_pompando;
  EXPECT_TRUE(attendi([&] { return cassa.esiti_nel_log() == esiti; })) << cassa.esiti_nel_log();
  EXPECT_TRUE(programma->in_vita());
}

// With a poll that never comes within the test (the first tick 59 s after the start), only the
// watch of the command file's folder starts a job: each the moment its file lands, also one
// dropped a while after the previous one ended.
TEST(Programma, UnLavoroPartePrimaDelPoll) {
  constexpr auto prima_del_poll = 45s;
  Cassa cassa("POLLING_TIME=59000\r\n");
  const auto programma = cassa.avvia();
  for (int lavoro = 1; lavoro <= 3; ++lavoro) {
    SCOPED_TRACE(lavoro);
    std::this_thread::sleep_for(300ms);  // past the look that follows the previous job's end
    ASSERT_TRUE(cassa.lavoro(comandi(1), prima_del_poll));
  }
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), comandi(1) + comandi(1) + comandi(1));
  EXPECT_TRUE(programma->in_vita());
}

// A command file's folder that cannot be watched (missing at the start) is said once in the log,
// as a note with no code; its jobs run on the poll.
TEST(Programma, UnaCartellaNonSorvegliabileSiControllaColPoll) {
  Cassa cassa;
  const std::string cartella = cassa.percorso("manca");
  const std::string file = (std::filesystem::path(cartella) / "Scontr.ECR").string();
  cassa.scrivi("BorvanIF.CFG", "POLLING_TIME=200\r\nSHOW_ERRORS=0\r\nINPUT_FILE=" + file + "\r\n");
  const auto programma = cassa.avvia();
  const std::string nota = "\t\tImpossibile sorvegliare la cartella " + cartella +
                           ": Impossibile trovare il percorso; il file comandi e' cercato ogni "
                           "200 ms\r\n";
  ASSERT_TRUE(attendi([&] { return cassa.leggi("BorvanIF.LOG").ends_with(nota); }))
      << cassa.leggi("BorvanIF.LOG");
  std::filesystem::create_directory(cartella);
  cassa.scrivi("manca/Scontr.tmp", "N\r\n");
  std::filesystem::rename(cassa.percorso("manca/Scontr.tmp"), file);
  ASSERT_TRUE(
      attendi([&] { return cassa.esiste("Result.TXT") && !cassa.esiste("manca/Scontr.ECR"); }));
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "N\r\n");
  const std::string log = cassa.leggi("BorvanIF.LOG");
  EXPECT_EQ(cassa.conta_righe("BorvanIF.LOG"), 2u) << log;  // the note once, the outcome
  EXPECT_TRUE(log.ends_with("\t" + fine_stampa + "\r\n")) << log;
  EXPECT_TRUE(programma->in_vita());
}

#ifndef _WIN32
// A FIFO is neither a command file nor the register's settings: the program goes on polling past
// the one, and reading the other, which would block for ever, is not tried.
TEST(ProgrammaPosix, UnaFifoNonBloccaIlProgramma) {
  Cassa cassa;
  for (const char* nome : {"Scontr.ECR", "ECRSIM.CFG"})
    ASSERT_EQ(::mkfifo(cassa.percorso(nome).c_str(), 0666), 0) << nome;
  const auto programma = cassa.avvia();
  // Long enough for several polls to meet the FIFO; nothing to wait for, as nothing happens.
  std::this_thread::sleep_for(500ms);
  std::filesystem::remove(cassa.percorso("Scontr.ECR"));
  verifica_lavoro(cassa, esiti_comuni[0]);
  EXPECT_TRUE(programma->in_vita());
}
#endif

}  // namespace
}  // namespace borvan::test

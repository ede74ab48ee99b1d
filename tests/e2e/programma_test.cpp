#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <vector>

#include "comune/esiti_comuni.h"

namespace borvan::test {
namespace {

// One log line with this outcome, stamped with the local time between `prima` and `dopo`.
bool una_riga_di_log(const std::string& log, std::time_t prima, std::time_t dopo,
                     const std::string& esito) {
  for (std::time_t t = prima - 1; t <= dopo + 1; ++t) {
    char quando[32];
    std::strftime(quando, sizeof quando, "%m-%d-%Y\t%H:%M:%S\t", std::localtime(&t));
    if (log == quando + esito + "\r\n") return true;
  }
  return false;
}

// Each outcome as the first job of a fresh start, and the only one that job logs: the next job
// starts only once it is over.
TEST(Programma, UnLavoro) {
  std::vector<EsitoAtteso> casi(std::begin(esiti_comuni), std::end(esiti_comuni));
  // The time-out falls due during the second 600 ms line: no third line is sent.
  casi.push_back({"time-out", "LINE_DELAY_MS=600\r\n", 10, "-100\tTimeout stampa", 2, 2});
  // The register runs the program's loop for 300 ms in each call, the time-out tick comes inside
  // one: mostly the second line's send, which still prints; never a third line.
  casi.push_back({"time-out, pumping", pompa(300), 10, "-100\tTimeout stampa", 1, 2});
  // A settings file that is a FIFO is no settings file: reading it would block for ever.
  casi.push_back({"FIFO settings", "FIFO", 2, fine_stampa, 2, 2});
  for (const EsitoAtteso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    Installazione installazione("TIMEOUT=1\r\n");
    if (caso.simulatore == "FIFO")
      ASSERT_EQ(::mkfifo(installazione.percorso("ECRSIM.CFG").c_str(), 0666), 0);
    else
      installazione.scrivi("ECRSIM.CFG", caso.simulatore);
    const auto programma = installazione.avvia();
    const std::time_t prima = std::time(nullptr);
    verifica_lavoro(installazione, caso);
    const std::time_t dopo = std::time(nullptr);
    std::filesystem::remove(installazione.percorso("ECRSIM.CFG"));
    verifica_lavoro(installazione, esiti_comuni[0]);
    EXPECT_TRUE(programma->in_vita());
    const std::string log = installazione.leggi("BorvanIF.LOG");
    EXPECT_EQ(installazione.esiti_nel_log(), 2u) << log;
    EXPECT_TRUE(una_riga_di_log(log.substr(0, log.find('\n') + 1), prima, dopo, caso.esito)) << log;
  }
}

// A second start in the same folder ends silently, whatever its temporary folder; the first
// takes the next job with the register's settings as they are then. A killed instance's lock
// does not keep the next one from starting.
TEST(Programma, DueLavoriEUnaSolaIstanza) {
  Installazione installazione;
  CartellaTemporanea altra_tmp;
  auto primo = installazione.avvia();
  ASSERT_TRUE(installazione.lavoro("A 1\r\nA 2\r\n"));
  const auto secondo = installazione.avvia(altra_tmp.cartella());
  ASSERT_TRUE(attendi([&] { return !secondo->in_vita(); })) << "the second instance still runs";
  EXPECT_EQ(secondo->stato, 0);  // ended by itself, with code 0
  installazione.scrivi("ECRSIM.CFG", "REFUSE_LINE=1\r\nREFUSE_CODE=9\r\n");
  ASSERT_TRUE(installazione.lavoro("B\r\n"));
  EXPECT_EQ(installazione.leggi("Result.TXT"), "9\r\n" + cassa + "9\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  const size_t a_capo = log.find("\r\n") + 2;
  EXPECT_TRUE(log.substr(0, a_capo).ends_with("\t0\tStampa completata correttamente\r\n")) << log;
  EXPECT_TRUE(log.substr(a_capo).ends_with("\t9\t" + cassa + "9\r\n")) << log;

  ASSERT_TRUE(primo->in_vita());
  primo.reset();  // killed
  installazione.scrivi("ECRSIM.CFG", "");
  const auto terzo = installazione.avvia();
  ASSERT_TRUE(installazione.lavoro("C\r\n"));
  EXPECT_TRUE(terzo->in_vita());
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\nC\r\n");
}

// A command file replaced during a job is not the job's file: it is printed as the next job.
// A FIFO at the command file's path is no command file: the program goes on polling.
TEST(Programma, UnFileSostituitoEIlLavoroSuccessivo) {
  Installazione installazione;
  installazione.scrivi("ECRSIM.CFG", "LINE_DELAY_MS=200\r\n");
  ASSERT_EQ(::mkfifo(installazione.percorso("Scontr.ECR").c_str(), 0666), 0);
  const auto programma = installazione.avvia();
  // Long enough for several polls to meet the FIFO; nothing to wait for, as nothing happens.
  std::this_thread::sleep_for(500ms);
  std::filesystem::remove(installazione.percorso("Scontr.ECR"));
  installazione.deponi("A 1\r\nA 2\r\nA 3\r\n");
  ASSERT_TRUE(attendi([&] { return installazione.righe_stampate() >= 1; }));
  installazione.deponi("B 1\r\n");
  ASSERT_TRUE(attendi([&] { return installazione.righe_stampate() == 4; }));
  ASSERT_TRUE(attendi([&] { return !installazione.esiste("Scontr.ECR"); }));
  EXPECT_TRUE(programma->in_vita());
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\nA 3\r\nB 1\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

// Killed, or ended by a signal, in the middle of a job: the next start sends none of its lines
// again, gives it its outcome and deletes its command file.
TEST(Programma, UnLavoroInterrottoNonSiRistampa) {
  for (const int segnale : {SIGKILL, SIGTERM}) {
    SCOPED_TRACE(segnale);
    Installazione installazione;
    installazione.scrivi("ECRSIM.CFG", "LINE_DELAY_MS=300\r\n");
    auto programma = installazione.avvia();
    installazione.deponi("R 1\r\nR 2\r\nR 3\r\nR 4\r\nR 5\r\n");
    ASSERT_TRUE(attendi([&] { return installazione.righe_stampate() >= 2; }));
    ::kill(programma->pid, segnale);
    ASSERT_TRUE(attendi([&] { return !programma->in_vita(); }));
    const size_t stampate = installazione.righe_stampate();
    ASSERT_LT(stampate, 5u);
    EXPECT_TRUE(installazione.esiste("Scontr.ECR"));
    EXPECT_FALSE(installazione.esiste("Result.TXT"));

    installazione.scrivi("ECRSIM.CFG", "");
    programma = installazione.avvia();
    ASSERT_TRUE(attendi([&] { return installazione.esiste("Result.TXT"); }));
    ASSERT_TRUE(attendi([&] { return !installazione.esiste("BorvanIF.JRN"); }));
    EXPECT_EQ(installazione.leggi("Result.TXT"),
              "-102\r\nStampa non completata-BorvanIF chiuso durante la stampa; righe "
              "accettate dalla cassa: " +
                  std::to_string(stampate) + " di 5\r\n");
    EXPECT_FALSE(installazione.esiste("Scontr.ECR"));
    ASSERT_TRUE(installazione.lavoro("S\r\n"));
    EXPECT_EQ(installazione.righe_stampate(), stampate + 1);
  }
}

TEST(Programma, MigliaiaDiLavoriUnoDopoLAltro) {
  Installazione installazione("POLLING_TIME=11\r\n");
  const auto programma = installazione.avvia();
  verifica_lavori_consecutivi(installazione, 4000);
  EXPECT_TRUE(programma->in_vita());
}

// The command file's folder watched: a job starts the moment its file lands, other files do not
// keep the program busy; a folder that cannot be watched is polled.
TEST(Programma, UnLavoroPartePrimaDelPoll) {
  Installazione installazione(poll_lento);
  const auto programma = installazione.avvia();
  verifica_sorveglianza(installazione, *programma);
  EXPECT_TRUE(programma->in_vita());
}

TEST(Programma, UnaCartellaNonSorvegliabileSiControllaColPoll) {
  verifica_cartella_non_sorvegliabile();
}

// A register that runs the program's message loop inside its calls, as many controls do. (An
// interruption inside a call: the Qt window's test, where a click can be given.)
TEST(Programma, UnRegistratoreCheElaboraIMessaggi) {
  Installazione installazione("POLLING_TIME=11\r\n");
  const auto programma = installazione.avvia();
  verifica_registratore_che_pompa(installazione);
  EXPECT_TRUE(programma->in_vita());
}

// The system tells a file its writer still holds, as long as the program may take its lease.
TEST(Programma, UnFileComandiScrittoSulPosto) {
  verifica_scrittura_in_due_tempi();
}

}  // namespace
}  // namespace borvan::test

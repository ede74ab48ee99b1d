#pragma once

// The outcomes the program gives alike on every platform, the check of one job's end, and the
// ways a point-of-sale program shares the files with it on every platform.

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "comune/installazione.h"
#include "ecr/driver_ecr.h"

namespace borvan::test {

// A job's expected end: its outcome (code, TAB, message: the log line's end and the result
// file's two lines) and how many of its first lines the roll holds, at least and at most.
struct EsitoAtteso {
  const char* nome;
  std::string simulatore;  // ECRSIM.CFG
  int righe;
  std::string esito;
  size_t minimo, massimo;
};

inline const std::string fine_stampa = "0\tStampa completata correttamente";
inline const std::string cassa = "Errore di comunicazione con la cassa. Cod.";
inline const std::string apertura =
    "-50\tErrore durante l'inizializzazione della comunicazione con la cassa.";

// The setting that makes the simulated register's member raise.
inline std::string solleva(int32_t membro) {
  return "RAISE=" + std::to_string(membro) + "\r\n";
}

// The outcomes every platform gives alike, whatever reaches the register.
inline const EsitoAtteso esiti_comuni[] = {
    {"success", "", 3, fine_stampa, 3, 3},
    {"line refused", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
     "7\t" + cassa + "7-Carta esaurita", 1, 1},
    {"open refused", "OPEN_RESULT=3\r\n", 3, "3\t" + cassa + "3-Errore su OPEN WinEcrCom", 0, 0},
    {"property 9 raising", solleva(membro_proprieta_9), 3, apertura, 0, 0},
    {"open raising", solleva(membro_apri), 3, apertura, 0, 0},
    {"close raising: ignored", solleva(membro_chiudi), 2, fine_stampa, 2, 2}};

// The last outcome (code, TAB, message) in the result file and at the end of the log.
inline void verifica_esito(const Installazione& installazione, const std::string& esito) {
  const size_t tab = esito.find('\t');
  EXPECT_EQ(installazione.leggi("Result.TXT"),
            esito.substr(0, tab) + "\r\n" + esito.substr(tab + 1) + "\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  EXPECT_TRUE(log.ends_with("\t" + esito + "\r\n")) << log;
}

// Runs the case's job on a blank roll, the register's settings already written, and checks its
// end.
inline void verifica_lavoro(const Installazione& installazione, const EsitoAtteso& caso) {
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  ASSERT_TRUE(installazione.lavoro(comandi(caso.righe)));
  verifica_esito(installazione, caso.esito);
  const std::string rotolo = installazione.leggi("ECRSIM.TXT");
  EXPECT_TRUE(comandi(caso.righe).starts_with(rotolo)) << rotolo;
  EXPECT_GE(installazione.righe_stampate(), caso.minimo);
  EXPECT_LE(installazione.righe_stampate(), caso.massimo);
}

// The point-of-sale program writing its command file in place, opened as the C library's "wb"
// opens it, in two halves a second apart: one job, the whole receipt, nothing reported before.
inline void verifica_scrittura_in_due_tempi() {
  Installazione installazione;
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  const std::string prima = "ARTICOLO 1\r\nARTICOLO 2\r\n", dopo = "TOTALE\r\nCHIUSURA\r\n";
  std::thread scrittore([&] {
    std::FILE* file = std::fopen(installazione.percorso("Scontr.ECR").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(prima.c_str(), file);
    std::fflush(file);
    std::this_thread::sleep_for(1s);
    std::fputs(dopo.c_str(), file);
    std::fclose(file);
  });
  const bool finito = attendi(
      [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); });
  scrittore.join();
  ASSERT_TRUE(finito);
  EXPECT_EQ(installazione.leggi("Result.TXT"), "0\r\nStampa completata correttamente\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), prima + dopo);
  EXPECT_TRUE(programma->in_vita());
}

// A point-of-sale program that drops its next job as soon as it reads the previous outcome:
// every line printed once, none lost, no job stuck.
inline void verifica_lavori_consecutivi(const Installazione& installazione, int lavori) {
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  int bloccati = 0, falliti = 0;
  std::string rotolo;  // every line once, in the jobs' order
  for (int lavoro = 0; lavoro < lavori && bloccati < 3; ++lavoro) {
    std::filesystem::remove(installazione.percorso("Result.TXT"));
    const std::string n = std::to_string(lavoro);
    const std::string righe = "J" + n + " A\r\nJ" + n + " B\r\n";
    rotolo += righe;
    installazione.deponi(righe);
    // Read as soon as it can be read: the next job is dropped the moment an outcome appears.
    std::string esito;
    if (!attendi([&] { return !(esito = installazione.leggi("Result.TXT")).empty(); }, 60s, 1ms)) {
      ++bloccati;
      continue;
    }
    if (!esito.starts_with("0\r\n")) ++falliti;
  }
  EXPECT_EQ(bloccati, 0);
  EXPECT_EQ(falliti, 0);
  EXPECT_TRUE(installazione.leggi("ECRSIM.TXT") == rotolo)
      << "lines lost, repeated or out of order: " << installazione.righe_stampate() << " of "
      << 2 * lavori;
}

// ECRSIM.CFG for a register that runs the program's message loop inside each of its calls, as
// many controls do, for `millisecondi` each: ticks and clicks then come inside them.
inline std::string pompa(int millisecondi) {
  return "PUMP_MESSAGES=1\r\nLINE_DELAY_MS=" + std::to_string(millisecondi) + "\r\n";
}

// Through a register that pumps messages, on a program already running with a fast poll: the
// same outcomes as ever; a command file dropped while the register is being opened (its roll
// is ready, it has not answered) is the next job, the one taken first printed before it; jobs
// back to back, each line once; one outcome a job.
inline void verifica_registratore_che_pompa(const Installazione& installazione) {
  constexpr int lavori = 400;
  const size_t esiti = installazione.esiti_nel_log();
  for (const EsitoAtteso& caso : esiti_comuni) {
    SCOPED_TRACE(caso.nome);
    installazione.scrivi("ECRSIM.CFG", pompa(20) + caso.simulatore);
    verifica_lavoro(installazione, caso);
  }

  installazione.scrivi("ECRSIM.CFG", pompa(1000));
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  std::filesystem::remove(installazione.percorso("Result.TXT"));
  installazione.deponi("A\r\n");
  ASSERT_TRUE(attendi([&] { return installazione.esiste("ECRSIM.TXT"); }));
  ASSERT_TRUE(installazione.lavoro("B 1\r\nB 2\r\n"));
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A\r\nB 1\r\nB 2\r\n");
  EXPECT_EQ(installazione.leggi("Result.TXT"), "0\r\nStampa completata correttamente\r\n");

  installazione.scrivi("ECRSIM.CFG", pompa(6));
  verifica_lavori_consecutivi(installazione, lavori);
  EXPECT_EQ(installazione.esiti_nel_log(), esiti + std::size(esiti_comuni) + 2 + lavori);
}

// A poll that never comes within a test: only the watch of the command file's folder can start
// a job well inside it (the first poll tick is 59 s after the start).
inline const std::string poll_lento = "POLLING_TIME=59000\r\n";
inline constexpr auto prima_del_poll = 45s;

// A program on `poll_lento` prints each job the moment its file lands, also a job dropped a while
// after the previous one ended. A folder busy with other files (names like the command file's, the
// command file's name in a subfolder) starts no job, keeps the program nearly idle and leaves the
// watch working.
inline void verifica_sorveglianza(const Installazione& installazione, const Processo& programma) {
  for (int lavoro = 1; lavoro <= 3; ++lavoro) {
    SCOPED_TRACE(lavoro);
    std::this_thread::sleep_for(300ms);  // past the look that follows the previous job's end
    ASSERT_TRUE(installazione.lavoro(comandi(1), prima_del_poll));
  }
  std::filesystem::remove(installazione.percorso("Result.TXT"));
  std::filesystem::create_directory(installazione.percorso("Scontr.ECR.d"));
  const std::optional<double> cpu = programma.secondi_cpu();
  const auto inizio = std::chrono::steady_clock::now();
  int giri = 0;
  for (; std::chrono::steady_clock::now() - inizio < 3s; ++giri) {
    for (const char* nome : {"Scontr.ECR.tmp", "Scontr.EC", "Scontr.ECR.d/Scontr.ECR"})
      installazione.scrivi(nome, "x\r\n");
    std::filesystem::rename(installazione.percorso("Scontr.ECR.tmp"),
                            installazione.percorso("altro.dat"));
  }
  const std::chrono::duration<double> durata = std::chrono::steady_clock::now() - inizio;
  if (const std::optional<double> dopo = programma.secondi_cpu(); cpu && dopo) {
    EXPECT_LT((*dopo - *cpu) / durata.count(), 0.03)
        << giri << " rounds of other files in " << durata.count() << " s";
  }
  EXPECT_FALSE(installazione.esiste("Result.TXT"));
  EXPECT_EQ(installazione.esiti_nel_log(), 3u);
  ASSERT_TRUE(installazione.lavoro(comandi(2), prima_del_poll));
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), comandi(1) + comandi(1) + comandi(1) + comandi(2));
}

// A command file's folder that cannot be watched (missing at the start) is said once in the log,
// as a note with no code; its jobs run on the poll.
inline void verifica_cartella_non_sorvegliabile() {
  Installazione installazione;
  const std::string cartella = installazione.percorso("manca");
  const std::string file = (std::filesystem::path(cartella) / "Scontr.ECR").string();
  installazione.scrivi("BorvanIF.CFG",
                       "POLLING_TIME=200\r\nSHOW_ERRORS=0\r\nINPUT_FILE=" + file + "\r\n");
  const auto programma = installazione.avvia();
  ASSERT_TRUE(attendi([&] { return installazione.esiste("BorvanIF.LOG"); }));
  const std::string nota = "\t\tImpossibile sorvegliare la cartella " + cartella +
                           ": Impossibile trovare il percorso; il file comandi e' cercato ogni "
                           "200 ms\r\n";
  EXPECT_TRUE(installazione.leggi("BorvanIF.LOG").ends_with(nota))
      << installazione.leggi("BorvanIF.LOG");
  std::filesystem::create_directory(cartella);
  installazione.scrivi("manca/Scontr.tmp", "N\r\n");
  std::filesystem::rename(installazione.percorso("manca/Scontr.tmp"), file);
  ASSERT_TRUE(attendi([&] {
    return installazione.esiste("Result.TXT") && !installazione.esiste("manca/Scontr.ECR");
  }));
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "N\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;  // the note once, the outcome
  EXPECT_TRUE(log.ends_with("\t" + fine_stampa + "\r\n")) << log;
  EXPECT_TRUE(programma->in_vita());
}

}  // namespace borvan::test

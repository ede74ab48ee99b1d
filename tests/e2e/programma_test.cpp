
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <tuple>

#include "installazione.h"

namespace borvan::test {
namespace {

const std::string cassa = "Errore di comunicazione con la cassa. Cod.";

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

TEST(Programma, UnLavoro) {
  // Name, BorvanIF.CFG beyond the fast poll, ECRSIM.CFG, lines, outcome, and how many of the
  // job's first lines the roll holds, at least and at most.
  const std::tuple<const char*, std::string, std::string, int, std::string, size_t, size_t> casi[] =
      {{"success", "", "", 3, "0\tStampa completata correttamente", 3, 3},
       {"line refused", "", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
        "7\t" + cassa + "7-Carta esaurita", 1, 1},
       {"open refused", "", "OPEN_RESULT=3\r\n", 3, "3\t" + cassa + "3-Errore su OPEN WinEcrCom", 0,
        0},
       // Ten lines of 400 ms each cannot finish within the one-second time-out.
       {"time-out", "TIMEOUT=1\r\n", "LINE_DELAY_MS=400\r\n", 10, "-100\tTimeout stampa", 1, 9}};
  for (const auto& [nome, impostazioni, simulatore, righe, esito, minimo, massimo] : casi) {
    SCOPED_TRACE(nome);
    Installazione installazione(impostazioni);
    installazione.scrivi("ECRSIM.CFG", simulatore);
    const auto programma = installazione.avvia();
    std::string comandi;
    for (int i = 1; i <= righe; ++i) comandi += "ARTICOLO " + std::to_string(i) + "\r\n";
    const std::time_t prima = std::time(nullptr);
    ASSERT_TRUE(installazione.lavoro(comandi));
    const std::time_t dopo = std::time(nullptr);
    EXPECT_TRUE(programma->in_vita());
    const size_t tab = esito.find('\t');  // the result file holds the same outcome on two lines
    EXPECT_EQ(installazione.leggi("Result.TXT"),
              esito.substr(0, tab) + "\r\n" + esito.substr(tab + 1) + "\r\n");
    const std::string log = installazione.leggi("BorvanIF.LOG");
    EXPECT_TRUE(una_riga_di_log(log, prima, dopo, esito)) << log;
    const std::string rotolo = installazione.leggi("ECRSIM.TXT");
    const auto stampate = static_cast<size_t>(std::count(rotolo.begin(), rotolo.end(), '\n'));
    EXPECT_TRUE(comandi.starts_with(rotolo) && stampate >= minimo && stampate <= massimo) << rotolo;
  }
}

// A second start ends silently; the first takes the next job with the register's settings as
// they are then. A killed instance's lock does not keep the next one from starting.
TEST(Programma, DueLavoriEUnaSolaIstanza) {
  Installazione installazione;
  auto primo = installazione.avvia();
  ASSERT_TRUE(installazione.lavoro("A 1\r\nA 2\r\n"));
  const auto secondo = installazione.avvia();
  ASSERT_TRUE(attendi([&] { return !secondo->in_vita(); })) << "the second instance still runs";
  EXPECT_TRUE(WIFEXITED(*secondo->uscita) && WEXITSTATUS(*secondo->uscita) == 0);
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

}  // namespace
}  // namespace borvan::test

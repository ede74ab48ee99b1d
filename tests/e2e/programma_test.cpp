// The real program, started as a process in a folder of its own on the simulated register:
// command files in, result file, log and paper roll out.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "installazione.h"

namespace borvan::test {
namespace {

std::vector<std::string> righe_lavoro(int quante, const std::string& prefisso = "ARTICOLO ") {
  std::vector<std::string> righe;
  for (int i = 1; i <= quante; ++i) righe.push_back(prefisso + std::to_string(i));
  return righe;
}

std::string con_fine_riga(const std::vector<std::string>& righe, size_t quante) {
  std::string testo;
  for (size_t i = 0; i < quante; ++i) testo += righe[i] + "\r\n";
  return testo;
}

// The log lines, each with its CR LF.
std::vector<std::string> righe_log(const std::string& testo) {
  std::vector<std::string> righe;
  for (size_t inizio = 0; inizio < testo.size();) {
    const size_t fine = testo.find("\r\n", inizio);
    const size_t dopo = fine == std::string::npos ? testo.size() : fine + 2;
    righe.push_back(testo.substr(inizio, dopo - inizio));
    inizio = dopo;
  }
  return righe;
}

// mm-dd-yyyy TAB hh:mm:ss TAB code TAB message CR LF, stamped with the local time at which
// the job ended, somewhere between `prima` and `dopo`.
::testing::AssertionResult riga_log_valida(const std::string& riga, std::time_t prima,
                                           std::time_t dopo, const std::string& codice,
                                           const std::string& messaggio) {
  static const std::regex forma(
      R"(^(\d\d)-(\d\d)-(\d{4})\t(\d\d):(\d\d):(\d\d)\t([^\t]*)\t([^\t\r\n]*)\r\n$)");
  std::smatch parti;
  if (!std::regex_match(riga, parti, forma))
    return ::testing::AssertionFailure() << "log line of the wrong shape: " << riga;
  std::tm quando{};
  quando.tm_mon = std::stoi(parti[1]) - 1;
  quando.tm_mday = std::stoi(parti[2]);
  quando.tm_year = std::stoi(parti[3]) - 1900;
  quando.tm_hour = std::stoi(parti[4]);
  quando.tm_min = std::stoi(parti[5]);
  quando.tm_sec = std::stoi(parti[6]);
  quando.tm_isdst = -1;
  const std::time_t istante = std::mktime(&quando);
  if (istante < prima - 1 || istante > dopo + 1)
    return ::testing::AssertionFailure() << "log line not stamped with the job's time: " << riga;
  if (parti[7] != codice || parti[8] != messaggio)
    return ::testing::AssertionFailure() << "log line with the wrong outcome: " << riga;
  return ::testing::AssertionSuccess();
}

struct Caso {
  const char* nome;
  std::string impostazioni;  // BorvanIF.CFG, beyond the fast poll
  std::string simulatore;    // ECRSIM.CFG
  int righe;
  std::string codice;
  std::string messaggio;
  // The paper roll holds the job's first lines, between these many.
  size_t stampate_min, stampate_max;
};

void PrintTo(const Caso& caso, std::ostream* uscita) {
  *uscita << caso.nome;
}

class UnLavoro : public ::testing::TestWithParam<Caso> {};

TEST_P(UnLavoro, EsitoLogERotolo) {
  const Caso& caso = GetParam();
  Installazione installazione(caso.impostazioni);
  installazione.scrivi("ECRSIM.CFG", caso.simulatore);
  const auto programma = installazione.avvia();
  const auto righe = righe_lavoro(caso.righe);

  const std::time_t prima = std::time(nullptr);
  installazione.lascia_comandi(righe);
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();
  const std::time_t dopo = std::time(nullptr);
  EXPECT_TRUE(programma->in_vita());
  programma->termina();

  EXPECT_EQ(installazione.leggi(Installazione::result),
            caso.codice + "\r\n" + caso.messaggio + "\r\n");
  const auto log = righe_log(installazione.leggi(Installazione::log));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(riga_log_valida(log[0], prima, dopo, caso.codice, caso.messaggio));

  const std::string rotolo = installazione.leggi(Installazione::rotolo);
  size_t stampate = 0;
  for (size_t i = 0; i < rotolo.size(); ++i) stampate += rotolo.compare(i, 2, "\r\n") == 0;
  EXPECT_GE(stampate, caso.stampate_min);
  EXPECT_LE(stampate, caso.stampate_max);
  EXPECT_EQ(rotolo, con_fine_riga(righe, std::min(stampate, righe.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Programma, UnLavoro,
    ::testing::Values(Caso{"Successo", "", "", 3, "0", "Stampa completata correttamente", 3, 3},
                      Caso{"RigaRifiutata", "",
                           "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
                           "7", "Errore di comunicazione con la cassa. Cod.7-Carta esaurita", 1, 1},
                      Caso{"AperturaRifiutata", "", "OPEN_RESULT=3\r\n", 3, "3",
                           "Errore di comunicazione con la cassa. Cod.3-Errore su OPEN WinEcrCom",
                           0, 0},
                      // Ten lines of 400 ms each cannot finish within the one-second time-out.
                      Caso{"Timeout", "TIMEOUT=1\r\n", "LINE_DELAY_MS=400\r\n", 10, "-100",
                           "Timeout stampa", 1, 9}),
    [](const ::testing::TestParamInfo<Caso>& caso) { return std::string(caso.param.nome); });

// The program keeps polling after a job: the next command file is the next job, with the
// register's settings as they are then.
TEST(Programma, DueLavoriDiSeguito) {
  Installazione installazione;
  const auto programma = installazione.avvia();
  installazione.lascia_comandi({"PRIMO 1", "PRIMO 2"});
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();

  std::filesystem::remove(installazione.percorso(Installazione::result));
  installazione.scrivi("ECRSIM.CFG", "REFUSE_LINE=1\r\nREFUSE_CODE=9\r\n");
  installazione.lascia_comandi({"SECONDO 1"});
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();
  programma->termina();

  EXPECT_EQ(installazione.leggi(Installazione::result),
            "9\r\nErrore di comunicazione con la cassa. Cod.9\r\n");
  const auto log = righe_log(installazione.leggi(Installazione::log));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].ends_with("\t0\tStampa completata correttamente\r\n")) << log[0];
  EXPECT_TRUE(log[1].ends_with("\t9\tErrore di comunicazione con la cassa. Cod.9\r\n")) << log[1];
  EXPECT_EQ(installazione.leggi(Installazione::rotolo), "PRIMO 1\r\nPRIMO 2\r\n");
}

// One instance per installation: a second start ends silently and leaves the first at work;
// the lock of a killed instance does not keep the next one from starting.
TEST(Programma, UnaSolaIstanza) {
  Installazione installazione;
  const auto primo = installazione.avvia();
  installazione.lascia_comandi({"A"});
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();

  const auto secondo = installazione.avvia();
  const auto uscita = secondo->attendi_uscita(std::chrono::seconds(5));
  ASSERT_TRUE(uscita.has_value()) << "the second instance is still running";
  EXPECT_TRUE(WIFEXITED(*uscita) && WEXITSTATUS(*uscita) == 0) << *uscita;

  ASSERT_TRUE(primo->in_vita());
  std::filesystem::remove(installazione.percorso(Installazione::result));
  installazione.lascia_comandi({"B"});
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();
  EXPECT_EQ(installazione.leggi(Installazione::rotolo), "A\r\nB\r\n");

  primo->uccidi();
  const auto terzo = installazione.avvia();
  std::filesystem::remove(installazione.percorso(Installazione::result));
  installazione.lascia_comandi({"C"});
  ASSERT_TRUE(installazione.attendi_esito()) << installazione.uscita();
  EXPECT_TRUE(terzo->in_vita());
  EXPECT_EQ(installazione.leggi(Installazione::rotolo), "A\r\nB\r\nC\r\n");
}

}  // namespace
}  // namespace borvan::test

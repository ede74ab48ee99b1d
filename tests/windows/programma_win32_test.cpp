#include <gtest/gtest.h>

#include <algorithm>

#include "installazione_win32.h"

namespace borvan::test {
namespace {

const std::string cassa = "Errore di comunicazione con la cassa. Cod.";

std::string comandi(int righe) {
  std::string testo;
  for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + "\r\n";
  return testo;
}

// The log's last line, without its date and time.
std::string ultimo_esito(const std::string& log) {
  const size_t inizio = log.rfind("\r\n", log.size() - 3);
  const std::string riga = log.substr(inizio == std::string::npos ? 0 : inizio + 2);
  const size_t dopo_ora = riga.find('\t', riga.find('\t') + 1);
  return riga.substr(dopo_ora + 1);
}

// One program takes the jobs one after another, each with the simulated register's settings as
// they are when it starts.
TEST(ProgrammaWin32, OgniEsitoDiUnLavoro) {
  struct Caso {
    const char* nome;
    std::string simulatore;  // ECRSIM.CFG
    int righe;
    std::string esito;       // code, TAB, message: the log line's end and the result file's lines
    size_t minimo, massimo;  // how many of the job's first lines the roll holds
  };
  const Caso casi[] = {
      {"success", "", 3, "0\tStampa completata correttamente", 3, 3},
      {"line refused", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
       "7\t" + cassa + "7-Carta esaurita", 1, 1},
      {"open refused", "OPEN_RESULT=3\r\n", 3, "3\t" + cassa + "3-Errore su OPEN WinEcrCom", 0, 0},
      // Ten lines of 500 ms each cannot finish within the two-second time-out.
      {"time-out", "LINE_DELAY_MS=500\r\n", 10, "-100\tTimeout stampa", 1, 9},
  };
  Installazione installazione("TIMEOUT=2\r\n");
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    installazione.scrivi("ECRSIM.CFG", caso.simulatore);
    DeleteFileA(installazione.percorso("ECRSIM.TXT").c_str());
    ASSERT_TRUE(installazione.lavoro(comandi(caso.righe)));
    EXPECT_TRUE(programma->in_vita());
    const size_t tab = caso.esito.find('\t');
    EXPECT_EQ(installazione.leggi("Result.TXT"),
              caso.esito.substr(0, tab) + "\r\n" + caso.esito.substr(tab + 1) + "\r\n");
    EXPECT_EQ(ultimo_esito(installazione.leggi("BorvanIF.LOG")), caso.esito + "\r\n");
    const std::string rotolo = installazione.leggi("ECRSIM.TXT");
    const auto stampate = static_cast<size_t>(std::count(rotolo.begin(), rotolo.end(), '\n'));
    EXPECT_TRUE(comandi(caso.righe).starts_with(rotolo) && stampate >= caso.minimo &&
                stampate <= caso.massimo)
        << rotolo;
  }
}

// Without --simulatore the register's own driver is meant, and none is registered: the job
// fails and says why, and nothing is printed anywhere.
TEST(ProgrammaWin32, SenzaDriverNienteStampato) {
  Installazione installazione;
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  ASSERT_TRUE(installazione.lavoro(comandi(2)));
  const std::string esito =
      "-50\tErrore durante l'inizializzazione della comunicazione con la cassa."
      "-Driver del registratore non installato (COECRCOMLib.CoEcrCom)";
  EXPECT_EQ(installazione.leggi("Result.TXT"),
            "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa."
            "-Driver del registratore non installato (COECRCOMLib.CoEcrCom)\r\n");
  EXPECT_EQ(ultimo_esito(installazione.leggi("BorvanIF.LOG")), esito + "\r\n");
  EXPECT_FALSE(installazione.esiste("ECRSIM.TXT"));
}

// A second start ends at once with code 0 and the first goes on; a first one that was killed
// keeps no later one out.
TEST(ProgrammaWin32, UnaSolaIstanza) {
  Installazione installazione;
  auto primo = installazione.avvia();
  ASSERT_TRUE(primo);
  ASSERT_TRUE(installazione.lavoro("A 1\r\n"));
  const auto secondo = installazione.avvia();
  ASSERT_TRUE(secondo);
  ASSERT_TRUE(attendi([&] { return !secondo->in_vita(); })) << "the second instance still runs";
  EXPECT_EQ(secondo->uscita(), 0u);
  ASSERT_TRUE(installazione.lavoro("A 2\r\n"));
  ASSERT_TRUE(primo->in_vita());

  primo->uccidi();
  const auto terzo = installazione.avvia();
  ASSERT_TRUE(terzo);
  ASSERT_TRUE(installazione.lavoro("B\r\n"));
  EXPECT_TRUE(terzo->in_vita());
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\nB\r\n");
}

// A command file and a result file named, folder included, with bytes that the system's code
// page and the C++ library's path conversion read differently: the job is found, printed, its
// outcome written where configured, and the command file deleted.
TEST(ProgrammaWin32, NomiConByteDa0x80A0x9F) {
  test::CartellaTemporanea base;
  const std::string cartella = base.percorso("") + "Cass\x80";
  ASSERT_TRUE(CreateDirectoryA(cartella.c_str(), nullptr));
  const std::string file_comandi = cartella + "\\Scontr\x9F.ECR";
  const std::string file_result = cartella + "\\Result\x8A.TXT";
  Installazione installazione("INPUT_FILE=" + file_comandi + "\r\nRESULT_FILE=" + file_result +
                              "\r\n");
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  ASSERT_TRUE(installazione.lavoro("\x80 uno\r\ndue\r\n", file_comandi, file_result));
  EXPECT_EQ(leggi_a(file_result), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "\x80 uno\r\ndue\r\n");
  // Still running, and not printing the file again.
  EXPECT_TRUE(programma->in_vita());
  EXPECT_FALSE(esiste_a(file_comandi));
  DeleteFileA(file_result.c_str());
  RemoveDirectoryA(cartella.c_str());
}

}  // namespace
}  // namespace borvan::test

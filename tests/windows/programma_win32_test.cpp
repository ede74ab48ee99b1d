#include <gtest/gtest.h>

#include "installazione_win32.h"

namespace borvan::test {
namespace {

// Without --simulatore the register's own driver is meant, and none is registered: the job
// fails and says why, and nothing is printed anywhere.
TEST(ProgrammaWin32, SenzaDriverNienteStampato) {
  Installazione installazione;
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  ASSERT_TRUE(installazione.lavoro(comandi(2)));
  EXPECT_EQ(installazione.leggi("Result.TXT"),
            "-50\r\nErrore durante l'inizializzazione della comunicazione con la cassa."
            "-Driver del registratore non installato (COECRCOMLib.CoEcrCom)\r\n");
  EXPECT_TRUE(
      installazione.leggi("BorvanIF.LOG")
          .ends_with("\t-50\tErrore durante l'inizializzazione della comunicazione con la "
                     "cassa.-Driver del registratore non installato (COECRCOMLib.CoEcrCom)\r\n"));
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

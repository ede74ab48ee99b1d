#include <gtest/gtest.h>

#include <cstdio>

#include "comune/esiti_comuni.h"

namespace borvan::test {
namespace {

// A second start ends at once with code 0 and the first goes on. (A killed first one keeps no
// later one out: AmbienteWin32.UnaSolaIstanzaPerInstallazione, its mutex left abandoned.)
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
  EXPECT_TRUE(primo->in_vita());
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\n");
}

// The command file's folder watched through the system's change notifications: a job starts the
// moment its file lands, other files do not keep the program busy; a folder that cannot be
// watched is polled.
TEST(ProgrammaWin32, UnLavoroPartePrimaDelPoll) {
  Installazione installazione(poll_lento);
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  verifica_sorveglianza(installazione, *programma);
  EXPECT_TRUE(programma->in_vita());
}

TEST(ProgrammaWin32, UnaCartellaNonSorvegliabileSiControllaColPoll) {
  verifica_cartella_non_sorvegliabile();
}

// Files by the C library's narrow names, as a point-of-sale program written in C reaches them:
// the system's code page reads those names, not the C++ library's path conversion.
std::string leggi_c(const std::string& percorso) {
  std::string contenuto;
  if (FILE* file = std::fopen(percorso.c_str(), "rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;) contenuto += static_cast<char>(c);
    std::fclose(file);
  }
  return contenuto;
}

bool esiste_c(const std::string& percorso) {
  return GetFileAttributesA(percorso.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A command file and a result file named, folder included, with bytes that the system's code
// page and the C++ library's path conversion read differently: the job is found, printed, its
// outcome written where configured, and the command file deleted.
TEST(ProgrammaWin32, NomiConByteDa0x80A0x9F) {
  CartellaTemporanea base;
  const std::string cartella = base.percorso("") + "Cass\x80";
  ASSERT_TRUE(CreateDirectoryA(cartella.c_str(), nullptr));
  const std::string file_comandi = cartella + "\\Scontr\x9F.ECR";
  const std::string file_result = cartella + "\\Result\x8A.TXT";
  Installazione installazione("INPUT_FILE=" + file_comandi + "\r\nRESULT_FILE=" + file_result +
                              "\r\n");
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  if (FILE* file = std::fopen((file_comandi + ".tmp").c_str(), "wb")) {
    std::fputs("\x80 uno\r\ndue\r\n", file);
    std::fclose(file);
  }
  ASSERT_EQ(std::rename((file_comandi + ".tmp").c_str(), file_comandi.c_str()), 0);
  ASSERT_TRUE(attendi([&] { return esiste_c(file_result) && !esiste_c(file_comandi); }));
  EXPECT_EQ(leggi_c(file_result), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "\x80 uno\r\ndue\r\n");
  EXPECT_TRUE(programma->in_vita());
  std::remove(file_result.c_str());
  RemoveDirectoryA(cartella.c_str());
}

}  // namespace
}  // namespace borvan::test

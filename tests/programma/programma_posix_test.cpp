// The real program where only POSIX lets a test stage the case.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "comune/esiti_comuni.h"
#include "programma/lanciatore.h"

namespace borvan::test {
namespace {

// A FIFO is neither a command file nor the register's settings: the program goes on polling past
// the one, and reading the other, which would block for ever, is not tried. A command file
// replaced during a job is not the job's file: it is printed as the next job.
TEST(ProgrammaPosix, FifoEFileSostituiti) {
  Cassa cassa;
  for (const char* nome : {"Scontr.ECR", "ECRSIM.CFG"})
    ASSERT_EQ(::mkfifo(cassa.percorso(nome).c_str(), 0666), 0) << nome;
  const auto programma = cassa.avvia();
  // Long enough for several polls to meet the FIFO; nothing to wait for, as nothing happens.
  std::this_thread::sleep_for(500ms);
  std::filesystem::remove(cassa.percorso("Scontr.ECR"));
  verifica_lavoro(cassa, esiti_comuni[0]);

  std::filesystem::remove(cassa.percorso("ECRSIM.CFG"));
  std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
  cassa.imposta_registratore("LINE_DELAY_MS=200\r\n");
  cassa.deponi("A 1\r\nA 2\r\nA 3\r\n");
  ASSERT_TRUE(attendi([&] { return cassa.righe_stampate() >= 1; }));
  cassa.deponi("B 1\r\n");
  ASSERT_TRUE(attendi([&] { return cassa.righe_stampate() == 4; }));
  ASSERT_TRUE(attendi([&] { return !cassa.esiste("Scontr.ECR"); }));
  EXPECT_TRUE(programma->in_vita());
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\nA 3\r\nB 1\r\n");
  EXPECT_EQ(cassa.esiti_nel_log(), 3u);
}

}  // namespace
}  // namespace borvan::test

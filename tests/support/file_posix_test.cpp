// Faults only a POSIX system lets a test stage: a FIFO, a full disk, a writer that comes.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"
#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/sistema.h"
#include "support/trappola.h"

namespace borvan {
namespace {

size_t descrittori_aperti() {
  const std::filesystem::directory_iterator voci("/proc/self/fd");
  return static_cast<size_t>(std::distance(begin(voci), end(voci)));
}

// A resident program that kept one descriptor of each refused file would run out of them after
// enough jobs: every way a file routine turns a file down lets go of what it opened.
TEST(File, OgniRifiutoChiudeIlDescrittore) {
  test::CartellaTemporanea cartella;
  const std::string fifo = cartella.percorso("fifo"), tenuto = cartella.percorso("tenuto");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  cartella.scrivi("tenuto", "a\r\n");
  const int scrittore = ::open(tenuto.c_str(), O_WRONLY | O_CLOEXEC);  // its writer holds it
  ASSERT_GE(scrittore, 0);
  const std::function<void()> rifiuti[] = {
      [&] { leggi_file_regolare(fifo, 10); }, [&] { FileComandi comandi(fifo); },
      [&] { EXPECT_TRUE(FileComandi(tenuto).occupato()); },
      [&] { avvertenze_file_comandi(tenuto); },  // the start-up's look at the folder
  };
  for (size_t i = 0; i < std::size(rifiuti); ++i) {
    const size_t prima = descrittori_aperti();
    cattura_errore(rifiuti[i]);
    EXPECT_EQ(descrittori_aperti(), prima) << i;
  }
  ::close(scrittore);
}

// A file that cannot be written whole keeps its old content, and nothing is left beside it.
TEST(File, ScriviFileInteroONiente) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("Result.TXT", "0\r\nvecchio\r\n");
  // This process's files fill up at 4 bytes, as on a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit prima{};
  ::getrlimit(RLIMIT_FSIZE, &prima);
  const rlimit pieno{4, prima.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &pieno);
  EXPECT_THROW(scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n"),
               ErroreRuntime);
  ::setrlimit(RLIMIT_FSIZE, &prima);
  EXPECT_EQ(cartella.leggi("Result.TXT"), "0\r\nvecchio\r\n");
  EXPECT_FALSE(cartella.esiste("Result.TXT.tmp"));
  scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n");
  EXPECT_EQ(cartella.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
}

// The kernel shows a read lease being broken, by the file's inode, while its breaker waits.
bool lease_in_rottura(const std::string& percorso) {
  struct stat stato {};
  if (::stat(percorso.c_str(), &stato) != 0) return false;
  std::ifstream blocchi("/proc/locks");
  // Appended in place: GCC 12 at -O3 takes ":" + std::string for an overlapping copy.
  const std::string inode = std::string(":").append(std::to_string(stato.st_ino)).append(" ");
  for (std::string riga; std::getline(blocchi, riga);)
    if (riga.find("LEASE") != std::string::npos && riga.find("BREAKING") != std::string::npos &&
        riga.find(inode) != std::string::npos)
      return true;
  return false;
}

// A writer that opens a taken command file waits until it is let go; the signal the program
// gets meanwhile leaves it running, reading the file as it took it.
TEST(FileComandi, UnoScrittoreCheArrivaAspettaEIlProgrammaNonSiFerma) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("Scontr.ECR", "a\r\n");
  const std::string percorso = cartella.percorso("Scontr.ECR");
  auto comandi = std::make_unique<FileComandi>(percorso);
  ASSERT_FALSE(comandi->occupato());
  bool scritto = false;
  std::thread scrittore([&] {
    const int fd = ::open(percorso.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    scritto = fd >= 0 && ::write(fd, "b\r\n", 3) == 3;
    if (fd >= 0) ::close(fd);
  });
  const auto fine = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!lease_in_rottura(percorso) && std::chrono::steady_clock::now() < fine)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(lease_in_rottura(percorso));
  EXPECT_EQ(comandi->leggi(100).contenuto, "a\r\n");
  comandi.reset();
  scrittore.join();
  EXPECT_TRUE(scritto);
  EXPECT_EQ(cartella.leggi("Scontr.ECR"), "b\r\n");
}

}  // namespace
}  // namespace borvan

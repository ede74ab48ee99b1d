// Faults only a POSIX system lets a test stage: a FIFO where a file is expected, a disk that
// fills up in the middle of a write, a writer that comes for a command file being read.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"
#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/sistema.h"
#include "support/trappola.h"

namespace borvan {
namespace {

// While in scope, this process's files fill up at `byte` bytes: a write that crosses the mark
// is cut there and the next one fails, as on a full disk.
class DiscoPieno {
 public:
  explicit DiscoPieno(rlim_t byte) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &prima_);
    rlimit limite = prima_;
    limite.rlim_cur = byte;
    ::setrlimit(RLIMIT_FSIZE, &limite);
  }
  ~DiscoPieno() { ::setrlimit(RLIMIT_FSIZE, &prima_); }
  DiscoPieno(const DiscoPieno&) = delete;
  DiscoPieno& operator=(const DiscoPieno&) = delete;

 private:
  rlimit prima_{};
};

size_t descrittori_aperti() {
  size_t quanti = 0;
  for (auto voce = std::filesystem::directory_iterator("/proc/self/fd");
       voce != std::filesystem::directory_iterator(); ++voce)
    ++quanti;
  return quanti;
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
  struct Caso {
    const char* nome;
    std::function<void()> chiamata;
  };
  const Caso casi[] = {
      {"a FIFO read", [&] { leggi_file_regolare(fifo, 10); }},
      {"a folder read", [&] { leggi_file_regolare(cartella.cartella(), 10); }},
      {"a FIFO as the command file", [&] { FileComandi comandi(fifo); }},
      {"a folder as the command file", [&] { FileComandi comandi(cartella.cartella()); }},
      {"a command file its writer holds", [&] { EXPECT_TRUE(FileComandi(tenuto).occupato()); }},
      {"the start-up's look at the folder", [&] { avvertenze_file_comandi(tenuto); }},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    const size_t prima = descrittori_aperti();
    cattura_errore(caso.chiamata);
    EXPECT_EQ(descrittori_aperti(), prima);
  }
  ::close(scrittore);
}

// A file that cannot be written whole keeps its old content, and nothing is left beside it.
TEST(File, ScriviFileInteroONiente) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("Result.TXT", "0\r\nvecchio\r\n");
  {
    DiscoPieno pieno(4);
    EXPECT_THROW(scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n"),
                 ErroreRuntime);
  }
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
  const std::string inode = ":" + std::to_string(stato.st_ino) + " ";
  for (std::string riga; std::getline(blocchi, riga);)
    if (riga.find("LEASE") != std::string::npos && riga.find("BREAKING") != std::string::npos &&
        riga.find(inode) != std::string::npos)
      return true;
  return false;
}

// A writer that opens a command file while it is taken waits until the file is let go. The
// signal the system sends the program meanwhile leaves it running, and it reads the file as it
// took it.
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

// Faults only a POSIX system lets a test stage: a FIFO, a full disk, a writer that comes, the
// order of a job's steps on the disk.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "comune/banco.h"
#include "comune/cartella_temporanea.h"
#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/sistema.h"
#include "support/trappola.h"

// The steps on the disk that make a job survive a crash, as the program asks the system for them:
// its calls to the C library reach these definitions first.
namespace {
std::function<void(std::string)> al_passo;

void registra(const std::string& azione, std::initializer_list<std::filesystem::path> percorsi) {
  if (!al_passo) return;
  std::string testo = azione;
  for (const auto& p : percorsi)
    testo += " " + (std::filesystem::is_directory(p) ? "." : p.filename().string());
  al_passo(testo);
}
}  // namespace

extern "C" int fsync(int fd) {
  std::error_code ignora;
  registra("fsync", {std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ignora)});
  return static_cast<int>(::syscall(SYS_fsync, fd));
}
int rename_rifiutato = 0;  // what every rename fails with; 0: none
extern "C" int rename(const char* da, const char* a) noexcept {
  registra("rename", {da, a});
  if (rename_rifiutato != 0) return errno = rename_rifiutato, -1;
  return ::renameat(AT_FDCWD, da, AT_FDCWD, a);
}
extern "C" int unlink(const char* percorso) noexcept {
  registra("unlink", {percorso});
  return ::unlinkat(AT_FDCWD, percorso, 0);
}

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

// A file that cannot be written whole keeps its old content, and nothing is left beside it; a
// line that cannot be appended whole leaves no part of it. An outcome that cannot replace the old
// one (a reader holds it, on Windows) is written over it in place, on the disk, its tail cut.
TEST(File, ScriviFileInteroONiente) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("Result.TXT", "0\r\nvecchio\r\n");
  cartella.scrivi("BorvanIF.LOG", "a\r\n");
  // This process's files fill up at 4 bytes, as on a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit prima{};
  ::getrlimit(RLIMIT_FSIZE, &prima);
  const rlimit pieno{4, prima.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &pieno);
  EXPECT_THROW(scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n"),
               ErroreRuntime);
  EXPECT_THROW(aggiungi_a_file(cartella.percorso("BorvanIF.LOG"), "b\r\n"), ErroreRuntime);
  ::setrlimit(RLIMIT_FSIZE, &prima);
  EXPECT_EQ(cartella.leggi("BorvanIF.LOG"), "a\r\n");
  EXPECT_EQ(cartella.leggi("Result.TXT"), "0\r\nvecchio\r\n");
  EXPECT_FALSE(cartella.esiste("Result.TXT.tmp"));
  std::vector<std::string> passi;
  al_passo = [&passi](std::string passo) { passi.push_back(passo); };
  rename_rifiutato = EACCES;
  EXPECT_NO_THROW(riscrivi_file(cartella.percorso("Result.TXT"), "0\r\nok\r\n"));
  rename_rifiutato = 0;
  al_passo = nullptr;
  EXPECT_EQ(cartella.leggi("Result.TXT"), "0\r\nok\r\n");
  EXPECT_EQ(passi.back(), "fsync Result.TXT");
  EXPECT_FALSE(cartella.esiste("Result.TXT.tmp"));
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

// Taken to be deleted, a command file goes through its descriptor: a file renamed into its place
// meanwhile is the next job, and stays.
TEST(FileComandi, SiCancellaSoloIlFileTenuto) {
  test::CartellaTemporanea cartella;
  const std::string percorso = cartella.percorso("Scontr.ECR");
  cartella.scrivi("Scontr.ECR", "a\r\n");
  FileComandi tenuto(percorso, FileComandi::Presa::da_togliere);
  cartella.scrivi("Scontr.tmp", "b\r\n");
  std::filesystem::rename(cartella.percorso("Scontr.tmp"), percorso);
  EXPECT_TRUE(tenuto.cancella());
  EXPECT_EQ(cartella.leggi("Scontr.ECR"), "b\r\n");
  EXPECT_TRUE(FileComandi(percorso, FileComandi::Presa::da_togliere).cancella());
  EXPECT_FALSE(cartella.esiste("Scontr.ECR") || cartella.esiste("Scontr.ECR.del"));
}

// A job's steps, the register's and the disk's, in their order: the job on the disk before its
// first line, its outcome decided on the disk before it is written, the result on the disk before
// it takes the old one's place, the command file gone (however it goes) before the journal.
TEST(Disco, IPassiDiUnLavoroSopravvivonoAUnArresto) {
  test::Banco b;
  al_passo = [&b](std::string passo) {
    if (passo.find("Scontr") != std::string::npos) return;
    if (passo == "unlink BorvanIF.JRN" && b.cartella.esiste("Scontr.ECR"))
      passo += " before the command file";
    b.driver->chiamate.push_back(passo);
  };
  b.lavoro("a\r\n");
  b.invia_tutto();
  al_passo = nullptr;
  EXPECT_EQ(b.driver->chiamate,
            (std::vector<std::string>{"proprieta_9 0", "apri PORT = 1", "fsync BorvanIF.JRN",
                                      "fsync .", "stato", "invia a", "chiudi", "fsync BorvanIF.JRN",
                                      "fsync Result.TXT.tmp", "rename Result.TXT.tmp Result.TXT",
                                      "unlink BorvanIF.JRN"}));
}

}  // namespace
}  // namespace borvan

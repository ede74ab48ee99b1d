#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "support/errore_runtime.h"
#include "support/lettura.h"
#include "support/nome_programma.h"
#include "support/sistema.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace borvan {

namespace {

// Closes a descriptor on every way out of a scope, unless it is handed over.
class Descrittore {
 public:
  explicit Descrittore(int fd) : fd_(fd) {}
  Descrittore(Descrittore&& altro) noexcept : fd_(std::exchange(altro.fd_, -1)) {}
  ~Descrittore() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descrittore(const Descrittore&) = delete;
  Descrittore& operator=(const Descrittore&) = delete;
  Descrittore& operator=(Descrittore&&) = delete;

  int get() const { return fd_; }
  bool aperto() const { return fd_ >= 0; }
  // Hands the descriptor over to an owner that closes it.
  int rilascia() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Why a call on the path failed, as a classic error number: a missing folder is told from a
// missing file.
ErroreRuntime errore_di(const std::string& percorso, int numero) {
  if (numero == ENOENT) {
    std::error_code ignora;
    const std::filesystem::path cartella = std::filesystem::path(percorso).parent_path();
    if (!cartella.empty() && !std::filesystem::is_directory(cartella, ignora))
      return ErroreRuntime(codice_errore::percorso_non_trovato);
  }
  return ErroreRuntime(numero_da_codice(std::error_code(numero, std::generic_category())));
}

IdentitaFile identita_di(const struct stat& stato) {
  return {static_cast<uint64_t>(stato.st_dev), static_cast<uint64_t>(stato.st_ino),
          static_cast<uint64_t>(stato.st_size),
          static_cast<int64_t>(stato.st_mtim.tv_sec) * 1000000000 + stato.st_mtim.tv_nsec};
}

// Opens without blocking (a FIFO would wait for a writer) and keeps the descriptor only when
// it is a regular file; anything else at the path is refused as a path/file access error.
Descrittore apri_regolare(const std::string& percorso, int modo, struct stat& stato) {
  Descrittore fd(::open(percorso.c_str(), modo | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!fd.aperto()) throw errore_di(percorso, errno);
  if (::fstat(fd.get(), &stato) != 0 || !S_ISREG(stato.st_mode))
    throw ErroreRuntime(codice_errore::accesso_percorso);
  // Regular files never block; the flag is dropped so that writes are plain ones.
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void leggi_tutto(int fd, const std::string& percorso, uint64_t massimo, FileLetto& letto) {
  leggi_a_blocchi(letto, massimo, [&](char* dove, size_t quanti) {
    for (;;) {
      const ssize_t n = ::read(fd, dove, quanti);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EINTR) throw errore_di(percorso, errno);
    }
  });
}

// A lease whose file another process opens for writing signals its holder, with SIGIO, whose
// default action ends the process. The program lets its leases go within the tick that took
// them: the signal is of no use to it, and must never end it.
void ignora_rotture_lease() {
  static const bool fatto = [] {
    struct sigaction attuale {};
    if (::sigaction(SIGIO, nullptr, &attuale) == 0 && attuale.sa_handler == SIG_DFL) {
      struct sigaction ignora {};
      ignora.sa_handler = SIG_IGN;
      sigemptyset(&ignora.sa_mask);
      ::sigaction(SIGIO, &ignora, nullptr);
    }
    return true;
  }();
  static_cast<void>(fatto);
}

}  // namespace

std::optional<IdentitaFile> identita_file(const std::string& percorso) noexcept {
  struct stat stato {};
  if (percorso.empty() || ::stat(percorso.c_str(), &stato) != 0 || !S_ISREG(stato.st_mode))
    return std::nullopt;
  return identita_di(stato);
}

FileLetto leggi_file_regolare(const std::string& percorso, uint64_t massimo) {
  struct stat stato {};
  const Descrittore fd = apri_regolare(percorso, O_RDONLY, stato);
  FileLetto letto;
  letto.identita = identita_di(stato);
  leggi_tutto(fd.get(), percorso, massimo, letto);
  return letto;
}

FileComandi::FileComandi(const std::string& percorso, Presa presa) : percorso_(percorso) {
  // Not blocking: a write lease another program holds answers at once.
  Descrittore fd(::open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.aperto()) {
    if (errno == EWOULDBLOCK)
      occupato_ = true;
    else
      errore_ = errore_di(percorso, errno);
    return;
  }
  if (presa == Presa::lettura) {
    ignora_rotture_lease();
    // A read lease is refused while any process has the file open for writing. Where the
    // system cannot tell (another owner's file, a file system without leases) the file is taken
    // as it is: the start-up has said so in the log.
    if (::fcntl(fd.get(), F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN) {
      occupato_ = true;
      return;
    }
  }
  struct stat stato {};
  if (::fstat(fd.get(), &stato) != 0 || !S_ISREG(stato.st_mode)) {
    errore_ = ErroreRuntime(codice_errore::accesso_percorso);
    return;
  }
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  identita_ = identita_di(stato);
  maniglia_ = fd.rilascia();
}

FileComandi::~FileComandi() {
  if (maniglia_ >= 0) ::close(static_cast<int>(maniglia_));  // the lease goes with it
}

FileLetto FileComandi::leggi(uint64_t massimo) {
  if (errore_) throw *errore_;
  FileLetto letto;
  letto.identita = *identita_;
  leggi_tutto(static_cast<int>(maniglia_), "", massimo, letto);
  return letto;
}

// Moved aside in one step, then told by the descriptor, which holds its file's inode (and so its
// number, on any file system) however it is named: a file that took the path after the opening
// goes back, never over a newer one.
bool FileComandi::cancella() noexcept {
  const Descrittore fd(static_cast<int>(std::exchange(maniglia_, -1)));
  const std::string da_cancellare = percorso_ + ".del";
  if (!fd.aperto() || ::rename(percorso_.c_str(), da_cancellare.c_str()) != 0) return false;
  struct stat tenuto {
  }, spostato{};
  const bool suo = ::fstat(fd.get(), &tenuto) == 0 &&
                   ::stat(da_cancellare.c_str(), &spostato) == 0 &&
                   tenuto.st_dev == spostato.st_dev && tenuto.st_ino == spostato.st_ino;
  if (suo && ::unlink(da_cancellare.c_str()) == 0) return true;
  if (::link(da_cancellare.c_str(), percorso_.c_str()) == 0) {
    ::unlink(da_cancellare.c_str());
  } else if (::renameat2(AT_FDCWD, da_cancellare.c_str(), AT_FDCWD, percorso_.c_str(),
                         RENAME_NOREPLACE) != 0 &&
             errno == EINVAL && ::access(percorso_.c_str(), F_OK) != 0) {
    // exFAT knows neither links nor a move that refuses to replace: only a look comes first.
    ::rename(da_cancellare.c_str(), percorso_.c_str());
  }
  return !suo;
}

std::vector<std::string> avvertenze_file_comandi(const std::string& percorso) {
  // A lease tried on a file of its own beside the command file: it tells whether the kernel
  // and that file system can say when a writer still holds a file.
  std::filesystem::path prova = std::filesystem::path(percorso).parent_path();
  // Appended in place: GCC 12 at -O3 takes "." + std::string for an overlapping copy.
  prova /= std::string(".").append(nome_programma).append("-").append(std::to_string(::getpid())) +
           ".prova";
  bool lease = false;
  {
    const Descrittore fd(::open(prova.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.aperto()) return {};  // a folder not there yet, or not writable: nothing to tell
    ignora_rotture_lease();
    lease = ::fcntl(fd.get(), F_SETLEASE, F_RDLCK) == 0;
  }
  ::unlink(prova.c_str());
  if (lease) return {};
  return {
      "Il sistema non sa dire se un file comandi e' ancora aperto da chi lo scrive: "
      "scriverlo con un altro nome e poi rinominarlo"};
}

BloccoIstanza::~BloccoIstanza() {
  if (maniglia_ >= 0) ::close(static_cast<int>(maniglia_));
}

bool BloccoIstanza::prendi(const std::string& percorso) {
  if (maniglia_ < 0) maniglia_ = ::open(percorso.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A lock the system holds for the process: a killed holder keeps nobody out.
  return maniglia_ < 0 || ::flock(static_cast<int>(maniglia_), LOCK_EX | LOCK_NB) == 0;
}

FileScrittura::FileScrittura(const std::string& percorso, Modo modo) {
  struct stat stato {};
  const int come = modo == Modo::accoda ? O_APPEND : modo == Modo::svuota ? O_TRUNC : 0;
  maniglia_ = apri_regolare(percorso, O_WRONLY | O_CREAT | come, stato).rilascia();
}

FileScrittura::~FileScrittura() {
  if (maniglia_ >= 0) ::close(static_cast<int>(maniglia_));
}

void FileScrittura::accoda(const std::string& dati) {
  const int fd = static_cast<int>(maniglia_);
  struct stat stato {};
  if (::fstat(fd, &stato) != 0) throw errore_di("", errno);
  const ssize_t scritti = ::write(fd, dati.data(), dati.size());
  if (scritti == static_cast<ssize_t>(dati.size())) return;
  const int numero = scritti < 0 ? errno : ENOSPC;
  if (scritti > 0) {
    // Part of the bytes went in: they come out again. Should even that fail, the caller still
    // learns that the write failed.
    const int tagliato = ::ftruncate(fd, stato.st_size);
    static_cast<void>(tagliato);
  }
  throw errore_di("", numero);
}

void FileScrittura::scrivi_in(uint64_t posizione, const std::string& dati) {
  const ssize_t scritti = ::pwrite(static_cast<int>(maniglia_), dati.data(), dati.size(),
                                   static_cast<off_t>(posizione));
  if (scritti < 0) throw errore_di("", errno);
  if (scritti != static_cast<ssize_t>(dati.size())) throw errore_di("", ENOSPC);
}

void FileScrittura::tronca(uint64_t lunghezza) {
  if (::ftruncate(static_cast<int>(maniglia_), static_cast<off_t>(lunghezza)) != 0)
    throw errore_di("", errno);
}

void FileScrittura::sincronizza() {
  if (::fsync(static_cast<int>(maniglia_)) != 0) throw errore_di("", errno);
}

void FileScrittura::chiudi() {
  const int fd = static_cast<int>(maniglia_);
  maniglia_ = -1;
  if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) throw errore_di("", errno);
}

void sostituisci_file(const std::string& da, const std::string& a) {
  if (::rename(da.c_str(), a.c_str()) != 0) throw errore_di(a, errno);
}

void togli_sola_lettura(const std::string& percorso) noexcept {
  struct stat stato {};
  if (::stat(percorso.c_str(), &stato) == 0 && S_ISREG(stato.st_mode))
    ::chmod(percorso.c_str(), stato.st_mode | S_IWUSR);
}

// Hiding is a name's leading dot here, which the file keeps.
void eredita_attributi(const std::string&, const std::string&) noexcept {}

// The folder decides whether a file may go; its own mode does not.
void elimina_file(const std::string& percorso) noexcept {
  struct stat stato {};
  if (percorso.empty() || (::stat(percorso.c_str(), &stato) == 0 && S_ISDIR(stato.st_mode))) return;
  ::unlink(percorso.c_str());
}

void sincronizza_cartella(const std::string& cartella) noexcept {
  const Descrittore fd(::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.aperto()) ::fsync(fd.get());
}

void restituisci_memoria() noexcept {
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

}  // namespace borvan

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "support/errore_runtime.h"
#include "support/sistema.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace borvan {

namespace {

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
int apri_regolare(const std::string& percorso, int modo, struct stat& stato) {
  const int fd = ::open(percorso.c_str(), modo | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) throw errore_di(percorso, errno);
  if (::fstat(fd, &stato) != 0 || !S_ISREG(stato.st_mode)) {
    ::close(fd);
    throw ErroreRuntime(codice_errore::accesso_percorso);
  }
  // Regular files never block; the flag is dropped so that writes are plain ones.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
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
  const int fd = apri_regolare(percorso, O_RDONLY, stato);
  FileLetto letto;
  letto.identita = identita_di(stato);
  const uint64_t limite = massimo + 1;
  letto.contenuto.resize(
      static_cast<size_t>(std::min<uint64_t>(limite, static_cast<uint64_t>(stato.st_size) + 1)));
  size_t letti = 0;
  for (;;) {
    if (letti == letto.contenuto.size()) {
      if (letti >= limite) break;
      letto.contenuto.resize(static_cast<size_t>(std::min<uint64_t>(limite, letti * 2 + 4096)));
    }
    const ssize_t n = ::read(fd, letto.contenuto.data() + letti, letto.contenuto.size() - letti);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int numero = errno;
      ::close(fd);
      throw errore_di(percorso, numero);
    }
    if (n == 0) break;
    letti += static_cast<size_t>(n);
  }
  ::close(fd);
  letto.contenuto.resize(letti);
  letto.contenuto.shrink_to_fit();
  return letto;
}

FileScrittura::FileScrittura(const std::string& percorso, Modo modo) {
  struct stat stato {};
  maniglia_ = apri_regolare(
      percorso, O_WRONLY | O_CREAT | (modo == Modo::accoda ? O_APPEND : O_TRUNC), stato);
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

bool cancella_se_identico(const std::string& percorso, const IdentitaFile& identita) noexcept {
  if (identita_file(percorso) != identita) return true;
  // Moved aside first, in one step: a file dropped at the path after this moment stays there.
  const std::string da_cancellare = percorso + ".del";
  if (::rename(percorso.c_str(), da_cancellare.c_str()) != 0) return false;
  if (identita_file(da_cancellare) != identita) {
    // Another file took the path between the two looks: it goes back, never over a newer one.
    if (::link(da_cancellare.c_str(), percorso.c_str()) == 0) ::unlink(da_cancellare.c_str());
    return true;
  }
  if (::unlink(da_cancellare.c_str()) == 0) return true;
  if (::link(da_cancellare.c_str(), percorso.c_str()) == 0) ::unlink(da_cancellare.c_str());
  return false;
}

void sincronizza_cartella(const std::string& cartella) noexcept {
  const int fd = ::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void restituisci_memoria() noexcept {
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

}  // namespace borvan

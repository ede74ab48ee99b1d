#include "support/file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "support/errore_runtime.h"
#include "support/testo.h"

namespace fs = std::filesystem;

namespace borvan {

namespace {

// Why a file could not be opened, as a classic error number.
ErroreRuntime errore_apertura(const std::string& percorso, int numero_errno) {
  std::error_code stato;
  if (fs::is_directory(percorso, stato)) return ErroreRuntime(codice_errore::accesso_percorso);
  const fs::path cartella = fs::path(percorso).parent_path();
  if (!cartella.empty() && !fs::is_directory(cartella, stato))
    return ErroreRuntime(codice_errore::percorso_non_trovato);
  switch (numero_errno) {
    case ENOENT:
      return ErroreRuntime(codice_errore::file_non_trovato);
    case EACCES:
    case EPERM:
    case EROFS:
      return ErroreRuntime(codice_errore::permesso_negato);
    case ENAMETOOLONG:
    case EINVAL:
      return ErroreRuntime(codice_errore::nome_file_non_valido);
    default:
      return ErroreRuntime(codice_errore::accesso_percorso);
  }
}

void scrivi_in_modo(const std::string& percorso, const std::string& contenuto,
                    std::ios::openmode modo) {
  errno = 0;
  std::ofstream file(percorso, std::ios::binary | modo);
  if (!file) throw errore_apertura(percorso, errno);
  file.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
  file.close();
  if (!file) throw ErroreRuntime(codice_errore::errore_io);
}

}  // namespace

bool file_esiste(const std::string& percorso) {
  const std::string pulito = trim_spazi(percorso);
  if (pulito.empty()) return false;
  std::error_code errore;
  const fs::file_status stato = fs::status(pulito, errore);
  return !errore && fs::exists(stato) && !fs::is_directory(stato);
}

void cancella_file(const std::string& percorso) noexcept {
  std::error_code ignora;
  if (percorso.empty() || fs::is_directory(percorso, ignora)) return;
  // Clear read-only first; POSIX lets the folder decide, Windows would refuse otherwise.
  fs::permissions(percorso, fs::perms::owner_write, fs::perm_options::add, ignora);
  fs::remove(percorso, ignora);
}

std::string leggi_file(const std::string& percorso) {
  errno = 0;
  std::ifstream file(percorso, std::ios::binary);
  std::error_code stato;
  if (!file || fs::is_directory(percorso, stato)) throw errore_apertura(percorso, errno);
  std::string contenuto{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw ErroreRuntime(codice_errore::errore_io);
  return contenuto;
}

std::vector<std::string> dividi_righe(const std::string& contenuto) {
  std::vector<std::string> righe;
  std::string riga;
  for (size_t i = 0; i < contenuto.size(); ++i) {
    if (contenuto[i] != '\r') {
      riga += contenuto[i];
      continue;
    }
    if (i + 1 < contenuto.size() && contenuto[i + 1] == '\n') ++i;
    righe.push_back(std::move(riga));
    riga.clear();
  }
  if (!riga.empty()) righe.push_back(std::move(riga));
  return righe;
}

void scrivi_file(const std::string& percorso, const std::string& contenuto) {
  scrivi_in_modo(percorso, contenuto, std::ios::trunc);
}

void aggiungi_a_file(const std::string& percorso, const std::string& contenuto) {
  scrivi_in_modo(percorso, contenuto, std::ios::app);
}

std::optional<FirmaFile> firma_file(const std::string& percorso) {
  std::error_code errore;
  const auto dimensione = fs::file_size(percorso, errore);
  if (errore) return std::nullopt;
  const auto modificato = fs::last_write_time(percorso, errore);
  if (errore) return std::nullopt;
  return FirmaFile{dimensione, static_cast<int64_t>(modificato.time_since_epoch().count())};
}

}  // namespace borvan

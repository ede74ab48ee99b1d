#include "support/file.h"

#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

#include "support/errore_runtime.h"
#include "support/sistema.h"
#include "support/testo.h"

namespace fs = std::filesystem;

namespace borvan {

bool file_esiste(const std::string& percorso) {
  const std::string pulito = trim_spazi(percorso);
  if (pulito.empty()) return false;
  std::error_code errore;
  return fs::is_regular_file(pulito, errore);
}

void cancella_file(const std::string& percorso) noexcept {
  std::error_code ignora;
  if (percorso.empty() || fs::is_directory(percorso, ignora)) return;
  // Clear read-only first; POSIX lets the folder decide, Windows would refuse otherwise.
  fs::permissions(percorso, fs::perms::owner_write, fs::perm_options::add, ignora);
  fs::remove(percorso, ignora);
}

std::string leggi_file(const std::string& percorso) {
  return leggi_file_regolare(percorso, std::numeric_limits<uint64_t>::max() - 1).contenuto;
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
  const std::string nuovo = percorso + ".tmp";
  std::optional<ErroreRuntime> errore;
  try {
    FileScrittura file(nuovo, FileScrittura::Modo::svuota);
    file.accoda(contenuto);
    file.chiudi();
    std::error_code ignora;  // a read-only old file would refuse to be replaced on Windows
    fs::permissions(percorso, fs::perms::owner_write, fs::perm_options::add, ignora);
    try {
      sostituisci_file(nuovo, percorso);
    } catch (const ErroreRuntime&) {
      // Some file systems replace nothing: the old file goes first, then the new one moves in.
      cancella_file(percorso);
      sostituisci_file(nuovo, percorso);
    }
    return;
  } catch (...) {
    errore = errore_corrente();
  }
  cancella_file(nuovo);
  throw *errore;
}

void aggiungi_a_file(const std::string& percorso, const std::string& contenuto) {
  FileScrittura file(percorso, FileScrittura::Modo::accoda);
  file.accoda(contenuto);
  file.chiudi();
}

}  // namespace borvan

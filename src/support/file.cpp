#include "support/file.h"

#include <limits>
#include <optional>

#include "support/errore_runtime.h"
#include "support/sistema.h"
#include "support/testo.h"

namespace borvan {

bool file_esiste(const std::string& percorso) {
  const std::string pulito = trim_spazi(percorso);
  return !pulito.empty() && identita_file(pulito).has_value();
}

void cancella_file(const std::string& percorso) noexcept {
  elimina_file(percorso);
}

uint64_t impronta_di(std::string_view contenuto) {
  // FNV-1a: enough to tell two versions of a receipt apart, at the speed of a read.
  uint64_t impronta = 14695981039346656037u;
  for (const char c : contenuto)
    impronta = (impronta ^ static_cast<unsigned char>(c)) * 1099511628211u;
  return impronta == 0 ? 1 : impronta;
}

Confronto confronta(const IdentitaFile& trovato, const IdentitaFile& atteso) {
  // A creation time or a content one side does not know tells nothing.
  const auto diversi = [](auto a, auto b) { return a != 0 && b != 0 && a != b; };
  if (trovato.volume != atteso.volume || trovato.dimensione != atteso.dimensione ||
      trovato.modificato != atteso.modificato || diversi(trovato.creato, atteso.creato) ||
      diversi(trovato.impronta, atteso.impronta))
    return Confronto::altro;
  return trovato.indice != 0 && trovato.indice == atteso.indice ? Confronto::stesso
                                                                : Confronto::forse;
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

namespace {

// Writes the text into a new file beside the old one, on the disk before it takes the old one's
// place (a power cut then leaves the old file or the new one, never an empty one). On failure
// nothing new stays beside it; `scritto` tells whether only the replacing failed.
void sostituisci_con(const std::string& percorso, const std::string& contenuto, bool& scritto) {
  const std::string nuovo = percorso + ".tmp";
  std::optional<ErroreRuntime> errore;
  try {
    FileScrittura file(nuovo, FileScrittura::Modo::svuota);
    file.accoda(contenuto);
    file.sincronizza();
    file.chiudi();
    scritto = true;
    eredita_attributi(percorso, nuovo);
    togli_sola_lettura(percorso);
    try {
      sostituisci_file(nuovo, percorso);
    } catch (const ErroreRuntime& rifiuto) {
      // Some file systems replace nothing: the old file goes first, then the new one moves in.
      // One that another program holds (permission denied) would refuse deletion just the same.
      if (rifiuto.numero() == codice_errore::permesso_negato) throw;
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

}  // namespace

void scrivi_file(const std::string& percorso, const std::string& contenuto) {
  bool scritto = false;
  sostituisci_con(percorso, contenuto, scritto);
}

void riscrivi_file(const std::string& percorso, const std::string& contenuto) {
  bool scritto = false;
  try {
    sostituisci_con(percorso, contenuto, scritto);
    return;
  } catch (const ErroreRuntime&) {
    if (!scritto || !file_esiste(percorso)) throw;
  }
  // A program reading the old file as the C library does (sharing writes, not deletion) keeps
  // it from being replaced, but lets it be written: the text goes in place, over the old one
  // before its end is cut, so that the file is never read empty.
  FileScrittura file(percorso, FileScrittura::Modo::sopra);
  file.scrivi_in(0, contenuto);
  file.tronca(contenuto.size());
  file.sincronizza();
  file.chiudi();
}

void aggiungi_a_file(const std::string& percorso, const std::string& contenuto) {
  FileScrittura file(percorso, FileScrittura::Modo::accoda);
  file.accoda(contenuto);
  file.chiudi();
}

}  // namespace borvan

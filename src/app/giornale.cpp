#include "app/giornale.h"

#include <charconv>
#include <sstream>

#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/nome_programma.h"
#include "support/percorsi.h"
#include "support/trappola.h"

namespace borvan {

namespace {

const std::string intestazione = std::string(nome_programma) + " JRN 1";
const std::string inizio_esito = "ESITO ";
constexpr size_t cifre_contatore = 10;

std::string contatore(int32_t righe) {
  std::string testo = std::to_string(righe);
  if (testo.size() < cifre_contatore) testo.insert(0, cifre_contatore - testo.size(), '0');
  return testo;
}

template <class Numero>
bool numero(const std::string& testo, Numero& valore) {
  const char* fine = testo.data() + testo.size();
  const auto [dove, errore] = std::from_chars(testo.data(), fine, valore);
  return errore == std::errc() && dove == fine;
}

// Cuts the next CR LF-ended line off the text from `da`; false when there is none.
bool prossima_riga(const std::string& testo, size_t& da, std::string& riga) {
  const size_t fine = testo.find(fine_riga, da);
  if (fine == std::string::npos) return false;
  riga = testo.substr(da, fine - da);
  da = fine + 2;
  return true;
}

}  // namespace

Giornale::Giornale(std::string percorso) : percorso_(std::move(percorso)) {}

Giornale::~Giornale() = default;

void Giornale::inizia(const LavoroRegistrato& lavoro) {
  file_.reset();
  const IdentitaFile& id = lavoro.identita;
  const std::string testo = intestazione + fine_riga + contatore(lavoro.accettate) + fine_riga +
                            std::to_string(lavoro.righe) + fine_riga + std::to_string(id.volume) +
                            " " + std::to_string(id.indice) + " " + std::to_string(id.dimensione) +
                            " " + std::to_string(id.modificato) + " " + std::to_string(id.creato) +
                            " " + std::to_string(id.impronta) + fine_riga + lavoro.percorso +
                            fine_riga;
  auto file = std::make_unique<FileScrittura>(percorso_, FileScrittura::Modo::svuota);
  file->accoda(testo);
  file->sincronizza();
  sincronizza_cartella(estrai_cartella(percorso_));
  file_ = std::move(file);
}

void Giornale::riprendi() noexcept {
  salta_errori(
      [&] { file_ = std::make_unique<FileScrittura>(percorso_, FileScrittura::Modo::accoda); });
}

void Giornale::accettate(int32_t righe) noexcept {
  if (!file_) return;
  salta_errori([&] { file_->scrivi_in(intestazione.size() + 2, contatore(righe)); });
}

void Giornale::decidi(int32_t codice, const std::string& descrizione) noexcept {
  if (!file_) return;
  salta_errori([&] {
    file_->accoda(inizio_esito + std::to_string(codice) + fine_riga + descrizione + fine_riga);
    file_->sincronizza();
  });
}

void Giornale::rimuovi() noexcept {
  if (file_) salta_errori([&] { file_->chiudi(); });
  file_.reset();
  cancella_file(percorso_);
}

bool Giornale::presente() const {
  return file_esiste(percorso_);
}

std::optional<LavoroRegistrato> Giornale::leggi() const {
  std::string testo;
  try {
    testo = leggi_file_regolare(percorso_, 1 << 20).contenuto;
  } catch (const ErroreRuntime&) {
    return std::nullopt;
  }
  LavoroRegistrato lavoro;
  size_t da = 0;
  std::string riga, accettate, righe, identita;
  if (!prossima_riga(testo, da, riga) || riga != intestazione) return std::nullopt;
  if (!prossima_riga(testo, da, accettate) || !numero(accettate, lavoro.accettate))
    return std::nullopt;
  if (!prossima_riga(testo, da, righe) || !numero(righe, lavoro.righe)) return std::nullopt;
  if (!prossima_riga(testo, da, identita)) return std::nullopt;
  std::istringstream campi(identita);
  IdentitaFile& id = lavoro.identita;
  if (!(campi >> id.volume >> id.indice >> id.dimensione >> id.modificato)) return std::nullopt;
  // A journal an earlier version left tells no creation time and no fingerprint.
  if (!(campi >> id.creato >> id.impronta)) {
    id.creato = 0;
    id.impronta = 0;
  }
  if (!prossima_riga(testo, da, lavoro.percorso)) return std::nullopt;
  // An outcome counts only when its record is whole: one cut short was never acted on.
  LavoroRegistrato::Esito esito;
  if (prossima_riga(testo, da, riga) && riga.starts_with(inizio_esito) &&
      numero(riga.substr(inizio_esito.size()), esito.codice) && da + 2 <= testo.size() &&
      testo.ends_with(fine_riga)) {
    esito.descrizione = testo.substr(da, testo.size() - 2 - da);
    lavoro.esito = std::move(esito);
  }
  return lavoro;
}

}  // namespace borvan

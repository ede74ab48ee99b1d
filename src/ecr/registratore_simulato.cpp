#include "ecr/registratore_simulato.h"

#include <chrono>
#include <thread>
#include <utility>

#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/numeri.h"
#include "support/testo.h"

namespace borvan {

namespace {

constexpr const char* nome_impostazioni = "ECRSIM.CFG";
constexpr const char* nome_rotolo = "ECRSIM.TXT";
constexpr const char* sorgente = "ECRSIM";

bool membro_valido(int32_t membro) {
  switch (membro) {
    case membro_proprieta_9:
    case membro_stato:
    case membro_apri:
    case membro_chiudi:
    case membro_invia:
      return true;
    default:
      return false;
  }
}

// The settings file as it stands; an unreadable one counts as a missing one.
std::string testo_impostazioni(const std::string& cartella) {
  try {
    if (file_esiste(cartella + nome_impostazioni)) return leggi_file(cartella + nome_impostazioni);
  } catch (const ErroreRuntime&) {
  }
  return {};
}

using I = ImpostazioniSimulatore;

// One key of ECRSIM.CFG: its text as it stands, or a whole number and what it sets. A number
// that does not fit leaves the value in force, as for the program's own settings.
struct ChiaveSimulatore {
  const char* chiave;
  void (*numero)(I&, int32_t) = nullptr;
  std::string I::*testo = nullptr;
};

// Each key once: the register and the stand-in control both read the file through this table.
const ChiaveSimulatore chiavi[] = {
    {"OPEN_RESULT", [](I& i, int32_t n) { i.risultato_apertura = n; }},
    {"STATUS", [](I& i, int32_t n) { i.stato = n; }},
    {"REFUSE_LINE", [](I& i, int32_t n) { i.riga_rifiutata = n; }},
    // A refusal answered with 0 would read as an accepted line that never printed.
    {"REFUSE_CODE", [](I& i, int32_t n) { i.codice_rifiuto = n != 0 ? n : i.codice_rifiuto; }},
    {"REFUSE_TEXT", nullptr, &I::testo_rifiuto},
    {"LINE_DELAY_MS", [](I& i, int32_t n) { i.ritardo_riga_ms = n > 0 ? n : 0; }},
    {"RAISE", [](I& i, int32_t n) { i.membro_in_errore = membro_valido(n) ? n : 0; }},
    {"PUMP_MESSAGES", [](I& i, int32_t n) { i.elabora_eventi = n != 0; }},
    {"REQUIRE_SITE", [](I& i, int32_t n) { i.sito_richiesto = n == 1; }},
    {"CRASH", [](I& i, int32_t n) { i.membro_in_arresto = membro_valido(n) ? n : 0; }},
    {"HANG", [](I& i, int32_t n) { i.membro_bloccato = membro_valido(n) ? n : 0; }},
    {"CRASH_NX", [](I& i, int32_t n) { i.membro_da_dati = membro_valido(n) ? n : 0; }},
};

}  // namespace

RegistratoreSimulato::RegistratoreSimulato(std::string cartella_applicazione)
    : cartella_(std::move(cartella_applicazione)) {}

RegistratoreSimulato::~RegistratoreSimulato() = default;

void RegistratoreSimulato::apri_rotolo() noexcept {
  try {
    rotolo_ = std::make_unique<FileScrittura>(cartella_ + nome_rotolo, FileScrittura::Modo::accoda);
  } catch (...) {
    rotolo_.reset();  // the send tries again, and jams if it still cannot
  }
}

// A line reaches the roll whole or not at all: a roll that takes only part of it (a full disk)
// gives that part back, and the send fails as a jammed printer does.
void RegistratoreSimulato::stampa(const std::string& riga) {
  try {
    if (!rotolo_)
      rotolo_ =
          std::make_unique<FileScrittura>(cartella_ + nome_rotolo, FileScrittura::Modo::accoda);
    rotolo_->accoda(riga + fine_riga);
  } catch (const ErroreRuntime&) {
    throw ErroreRuntime(
        codice_errore::errore_io,
        "Registratore simulato: impossibile stampare sul rotolo " + std::string(nome_rotolo),
        sorgente);
  }
}

void RegistratoreSimulato::leggi_impostazioni() {
  impostazioni_ = leggi_impostazioni_simulatore(cartella_);
}

void RegistratoreSimulato::forse_errore(int32_t membro) const {
  if (impostazioni_.membro_in_errore != membro) return;
  throw ErroreRuntime(codice_errore::errore_io,
                      "Registratore simulato: errore sul membro " + std::to_string(membro),
                      sorgente);
}

// Called again from inside its own wait, the register is busy, as a control that is not
// re-entrant is. A close is let through: it closes the register under the waiting call.
void RegistratoreSimulato::libero() const {
  if (in_attesa_ == 0) return;
  throw ErroreRuntime(codice_errore::errore_io, "Registratore simulato: occupato", sorgente);
}

// The time the register takes to answer. A register that pumps messages spends it, in every
// member, in the program's message loop; one that does not blocks for it on each line. A hung
// member waits for ever, in the loop in short slices, so that the program can still end.
void RegistratoreSimulato::attendi(int32_t membro) {
  const bool bloccato = membro == impostazioni_.membro_bloccato;
  const int32_t ritardo = bloccato ? 100 : impostazioni_.ritardo_riga_ms;
  if ((impostazioni_.elabora_eventi || bloccato) && ciclo_eventi_) {
    struct Uscita {
      int32_t& in_attesa;
      ~Uscita() { --in_attesa; }
    } uscita{++in_attesa_};
    do ciclo_eventi_(ritardo);
    while (bloccato);
  } else if ((membro == membro_invia || bloccato) && ritardo > 0) {
    do std::this_thread::sleep_for(std::chrono::milliseconds(ritardo));
    while (bloccato);
  }
}

void RegistratoreSimulato::imposta_proprieta_9(int16_t /*valore*/) {
  // The put is the first step of every open: reading here too lets RAISE on the put act on the
  // job it was written for, and lets a fault on it be cleared without an open ever succeeding.
  libero();
  leggi_impostazioni();
  attendi(membro_proprieta_9);
  forse_errore(membro_proprieta_9);
}

// The roll is ready before the register answers the open, as a port is opened before the
// register's greeting is awaited. A close that came meanwhile fails the open.
int32_t RegistratoreSimulato::apri(std::string& /*richiesta*/) {
  libero();
  leggi_impostazioni();
  righe_dall_apertura_ = 0;
  aperto_ = impostazioni_.membro_in_errore != membro_apri;
  if (aperto_) apri_rotolo();
  attendi(membro_apri);
  forse_errore(membro_apri);
  return aperto_ ? impostazioni_.risultato_apertura : impostazioni_.codice_rifiuto;
}

int32_t RegistratoreSimulato::stato() {
  libero();
  attendi(membro_stato);
  forse_errore(membro_stato);
  return impostazioni_.stato;
}

int32_t RegistratoreSimulato::invia(std::string& riga, std::string& risposta) {
  libero();
  attendi(membro_invia);
  forse_errore(membro_invia);
  // Not opened, or closed while the line waited (a close called from inside the wait).
  if (!aperto_) {
    risposta = "Registratore non aperto";
    return impostazioni_.codice_rifiuto;
  }
  // A line counts once it has been answered, so a line retried after a jam keeps its number.
  const int32_t numero = righe_dall_apertura_ + 1;
  if (numero == impostazioni_.riga_rifiutata) {
    righe_dall_apertura_ = numero;
    risposta = impostazioni_.testo_rifiuto;
    return impostazioni_.codice_rifiuto;
  }
  stampa(riga);
  righe_dall_apertura_ = numero;
  return 0;
}

int32_t RegistratoreSimulato::chiudi() {
  attendi(membro_chiudi);
  aperto_ = false;
  rotolo_.reset();
  forse_errore(membro_chiudi);
  return 0;
}

ImpostazioniSimulatore leggi_impostazioni_simulatore(const std::string& cartella) {
  ImpostazioniSimulatore impostazioni;
  for (const std::string& riga : dividi_righe(testo_impostazioni(cartella))) {
    const auto coppia = dividi_chiave_valore(riga);
    if (!coppia) continue;
    for (const ChiaveSimulatore& chiave : chiavi) {
      if (coppia->chiave != chiave.chiave) continue;
      if (chiave.testo != nullptr) {
        impostazioni.*chiave.testo = coppia->valore;
      } else if (const auto numero = leggi_intero(coppia->valore)) {
        chiave.numero(impostazioni, *numero);
      }
    }
  }
  return impostazioni;
}

}  // namespace borvan

#include "app/principale.h"

#include <chrono>
#include <thread>
#include <utility>

#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/nome_programma.h"
#include "support/operatore.h"
#include "support/percorsi.h"
#include "support/protetto.h"
#include "support/trappola.h"

namespace borvan {

namespace {

const std::string domanda_chiusura =
    std::string("Sicuro di voler chiudere ") + nome_programma +
    "? Non sara' piu' possibile stampare gli scontrini finche' il programma non verra' "
    "riaperto.";
const char* const messaggio_stampa_in_corso =
    "Stampa in corso. Impossibile aprire pagina di configurazione.";
const char* const descrizione_open_rifiutato = "Errore su OPEN WinEcrCom";
const std::string descrizione_chiuso = std::string(nome_programma) + " chiuso durante la stampa";

// The buttons in two rows under the list, the status beside its caption above it.
constexpr DisegnoControllo controlli[] = {
    {"Command1", Genere::pulsante, {120, 2580, 2025, 435}, "Configurazione"},
    {"Command2", Genere::pulsante, {2220, 2580, 2085, 435}, "Interrompi la stampa"},
    {.nome = "Label1",
     .genere = Genere::etichetta,
     .posto = {2220, 210, 2085, 345},
     .carattere = Carattere{.punti = 9.75}},
    {"Label2", Genere::etichetta, {120, 300, 2025, 225}, "Stato registratore di cassa :"},
    {"List2", Genere::lista, {120, 630, 4185, 1815}},
    {"Command3", Genere::pulsante, {120, 3090, 2025, 435}, "Chiudi Borvan Interface"},
    {"Command4", Genere::pulsante, {2220, 3090, 2085, 435}, "Riduci ad icona"},
    {.nome = "CoEcrCom1",
     .genere = Genere::registratore,
     .posto = {0, 0, 480, 480},
     .visibile = false},
};

// Resets a flag on every way out of a scope.
class Bandiera {
 public:
  explicit Bandiera(bool& valore) : valore_(valore) { valore_ = true; }
  ~Bandiera() { valore_ = false; }
  Bandiera(const Bandiera&) = delete;
  Bandiera& operator=(const Bandiera&) = delete;

 private:
  bool& valore_;
};

// Runs an action on every way out of a scope.
template <class Azione>
class AllUscita {
 public:
  explicit AllUscita(Azione azione) : azione_(std::move(azione)) {}
  ~AllUscita() { azione_(); }
  AllUscita(const AllUscita&) = delete;
  AllUscita& operator=(const AllUscita&) = delete;

 private:
  Azione azione_;
};

// How often the watch over the register's calls looks: a call that stops answering is known
// within half a second of the limit.
constexpr int32_t intervallo_guardia_ms = 500;

}  // namespace

constinit const DisegnoModulo Principale::disegno{
    .caption = "BORVAN INTERFACE", .larghezza = 4560, .altezza = 3570, .controlli = controlli};

void Ambiente::attendi(int32_t millisecondi) {
  std::this_thread::sleep_for(std::chrono::milliseconds(millisecondi));
}

Principale::Principale(std::string cartella_eseguibile, std::unique_ptr<DriverEcr> driver,
                       Operatore& operatore, GestoreErrori& errori, Ambiente& ambiente)
    : CoEcrCom1(*driver),
      cartella_eseguibile_(std::move(cartella_eseguibile)),
      driver_(std::move(driver)),
      operatore_(operatore),
      errori_(errori),
      ambiente_(ambiente),
      giornale_(cartella_applicazione(cartella_eseguibile_) + nome_giornale) {
  ascolta_errori_sfuggiti(
      [this](const std::string& descrizione) { annota_errore_sfuggito(descrizione); });
  const auto caption = [](const char* nome) { return disegno.controllo(nome).caption; };
  Form.setCaption(disegno.caption);
  Label2.setCaption(caption("Label2"));
  Command1.setCaption(caption("Command1"));
  Command2.setCaption(caption("Command2"));
  Command3.setCaption(caption("Command3"));
  Command4.setCaption(caption("Command4"));
  Command2.setVisible(false);
  Timer3.setInterval(1);
  guardia.setInterval(intervallo_guardia_ms);
}

Principale::~Principale() {
  ascolta_errori_sfuggiti(nullptr);
}

bool Principale::Form_Load() {
  if (!prendi_istanza()) return false;
  stampa_in_corso_ = false;
  leggi_config();
  annota_avvertenze();
  recupera_lavoro_interrotto();
  return true;
}

// A second start beside a running instance ends at once, silently. A lock refused while no
// instance shows itself (a file server still holding it for a program that crashed) is asked
// again for a minute, so that a start at logon does not end unnoticed; then the log says why.
bool Principale::prendi_istanza() {
  constexpr int32_t attesa_ms = 60000, intervallo_ms = 500;
  const int64_t fine = ambiente_.millisecondi() + attesa_ms;
  while (ambiente_.altra_istanza_attiva()) {
    if (ambiente_.istanza_visibile()) return false;
    if (ambiente_.millisecondi() >= fine) {
      if (leggi_configurazione(config, cartella_eseguibile_, operatore_, errori_))
        annota("Il blocco " + cartella_applicazione(cartella_eseguibile_) + nome_blocco +
               " e' tenuto da un altro computer o dal server della cartella, e nessun " +
               nome_programma + " risponde qui: il programma non parte");
      return false;
    }
    ambiente_.attendi(intervallo_ms);
  }
  return true;
}

// What the system cannot do for the command files is said once, at start, in the log.
void Principale::annota_avvertenze() {
  for (const std::string& nota : ambiente_.avvertenze(config.file_input)) annota(nota);
}

// A job that a previous run left unfinished gets its outcome, and none of its lines is sent
// again. An outcome already decided is written again only while the job's command file still
// stands: once it has been deleted, its outcome was written, and the point-of-sale program may
// already have dropped the next job, whose outcome this must not pretend to be.
void Principale::recupera_lavoro_interrotto() {
  if (!giornale_.presente()) return;
  const std::optional<LavoroRegistrato> lavoro = giornale_.leggi();
  if (lavoro) {
    // Polls delivered by the outcome box's message loop must wait for this job's end.
    Bandiera chiusura{chiusura_in_corso_};
    if (!lavoro->esito) {
      const std::string descrizione =
          descrizione_chiuso + "; " + righe_accettate(lavoro->accettate, lavoro->righe);
      // Decided before it is written, as at any job's end: a second crash cannot repeat it.
      giornale_.riprendi();
      giornale_.decidi(codice_esito::non_completata, descrizione);
      scrivi_Result_file(codice_esito::non_completata, descrizione);
    } else if (forse_ancora(lavoro->percorso, lavoro->identita)) {
      scrivi_Result_file(lavoro->esito->codice, lavoro->esito->descrizione);
    }
    togli_file_comandi(lavoro->percorso, lavoro->identita);
  }
  giornale_.rimuovi();
}

// The close question is asked once: a close while it is open (a second click, another WM_CLOSE)
// is answered by it. Not when a register call that has stopped answering runs under it: its Yes
// could not return through that call, and only a question asked now can end the program.
void Principale::Command3_Click() {
  if (domanda_aperta_ && !(chiamate_in_corso_ > *domanda_aperta_ && chiamata_bloccata())) return;
  if (chiamate_in_corso_ > 0 && !chiamata_bloccata()) {
    domanda_rimandata_ = true;
    return;
  }
  const AllUscita chiusa{[this, prima = domanda_aperta_] { domanda_aperta_ = prima; }};
  domanda_aperta_ = chiamate_in_corso_;
  if (operatore_.domanda(domanda_chiusura)) termina_programma();
}

// Never inside a register call: the register is not left in the middle of a line, and the
// journal already knows the line the call printed. A call that has stopped answering is no
// reason to keep the till trapped: the journal gives its job an outcome at the next start.
void Principale::termina_programma() {
  if (chiamate_in_corso_ > 0 && !chiamata_bloccata()) {
    termine_rimandato_ = true;
    return;
  }
  ambiente_.termina();
}

void Principale::Command4_Click() {
  Form.setWindowState(Window::Stato::ridotta);
}

void Principale::leggi_config() {
  if (!leggi_configurazione(config, cartella_eseguibile_, operatore_, errori_)) return;
  Trappola passo{errori_};
  passo([&] {
    Timer1.setInterval(config.tempo_polling);
    Timer1.setEnabled(true);
  });
  sorveglia_file_comandi();
}

// The watch follows the command file wherever the configuration puts it, and the poll looks at
// once: the file may have landed while nothing watched. A folder the system will not watch
// (some network shares, a folder still missing) is polled only, and the log says so once.
void Principale::sorveglia_file_comandi() {
  const CartellaENome file = dividi_percorso(config.file_input);
  sorveglianza.sorveglia(file.cartella, file.nome);
  sorveglianza.guarda_ancora();
  if (sorveglianza.errore().empty()) {
    sorveglianza_mancata_.clear();
    return;
  }
  const std::string nota = "Impossibile sorvegliare la cartella " + file.cartella + ": " +
                           sorveglianza.errore() + "; il file comandi e' cercato ogni " +
                           std::to_string(config.tempo_polling) + " ms";
  if (nota == sorveglianza_mancata_) return;
  sorveglianza_mancata_ = nota;
  annota(nota);
}

// A note in the log: no job's outcome, so its code field stays empty.
void Principale::annota(const std::string& nota) {
  if (config.file_log.empty()) return;
  salta_errori([&] { aggiungi_a_file(config.file_log, riga_nota(ambiente_.adesso(), nota)); });
}

void Principale::Command1_Click() {
  if (chiamate_in_corso_ > 0) {
    configurazione_rimandata_ = true;
    return;
  }
  Trappola passo{errori_};
  if (stampa_in_corso_ || chiusura_in_corso_) {
    passo([&] { operatore_.messaggio(messaggio_stampa_in_corso, Icona::nessuna); });
    return;
  }
  if (!passo([&] {
        Timer1.setEnabled(false);
        Timer2.setEnabled(false);
      }))
    return;
  if (!passo([&] { ambiente_.mostra_configurazione(); })) return;
  passo([&] { leggi_config(); });
}

void Principale::Timer1_Timer() {
  const AllUscita dopo{[this] { rispondi_rimandati(); }};
  // Inside the open the job is not under way yet: the file must not be taken a second time.
  if (stampa_in_corso_ || chiusura_in_corso_ || chiamate_in_corso_ > 0) return;
  Command2.setVisible(false);
  const std::optional<IdentitaFile> trovato =
      riportata(identita_file(config.file_input), config.file_input);
  if (!trovato) {
    non_cancellato_.reset();
    return;
  }
  if (non_cancellato_) {
    if (forse_ancora(config.file_input, *non_cancellato_)) return;
    non_cancellato_.reset();
  }
  // A file its writer still holds is not ready: no register opened, no outcome; the next poll
  // tries again. Otherwise the job's file is the one taken here, writers kept out until it is
  // read.
  comandi_.emplace(config.file_input);
  if (comandi_->occupato()) {
    comandi_.reset();
    return;
  }
  file_del_lavoro_ =
      comandi_->identita() ? riportata(comandi_->identita(), config.file_input) : trovato;
  if (!apri_comunicazione_ecr()) return;
  stampa_in_corso_ = true;
  ++lavoro_;
  righe_accettate_ = 0;
  List2.Clear();
  Command2.setVisible(true);
  scadenza_.reset();
  if (config.tempo_timeout != 0) {
    Timer2.setInterval(config.tempo_timeout * 1000);
    Timer2.setEnabled(true);
    scadenza_ = ambiente_.millisecondi() + int64_t{config.tempo_timeout} * 1000;
  } else {
    Timer2.setEnabled(false);
  }
  carica_righe();
}

// The poll at once, through its own tick and under its every rule; none while polling is stopped
// (the configuration dialog is open).
void Principale::cartella_cambiata() {
  if (Timer1.Enabled()) Timer1_Timer();
}

// Loads the command file into the list, records the job in the journal and starts sending. The
// register is already open: a file that cannot be read, that is too long to be a receipt, or a
// job the journal cannot record, ends before any line is sent, so that the point-of-sale
// program gets an outcome and never half a receipt.
void Principale::carica_righe() {
  FileLetto letto;
  const auto illeggibile =
      cattura_errore([&] { letto = comandi_.value().leggi(dimensione_massima_comandi); });
  comandi_.reset();
  if (illeggibile) {
    rifiuta_file_comandi("Impossibile leggere il file comandi: " + illeggibile->descrizione());
    return;
  }
  file_del_lavoro_ = riportata(letto.identita, config.file_input);
  if (letto.contenuto.size() > dimensione_massima_comandi) {
    letto.contenuto = std::string();  // its memory goes back with the job's end
    rifiuta_file_comandi("File comandi troppo lungo: piu' di " +
                         std::to_string(dimensione_massima_comandi) + " byte");
    return;
  }
  std::vector<std::string> righe = dividi_righe(letto.contenuto);
  letto.contenuto = std::string();
  if (righe.size() > static_cast<size_t>(ListBox::capacita)) {
    rifiuta_file_comandi("File comandi troppo lungo: piu' di 32767 righe");
    return;
  }
  LavoroRegistrato lavoro;
  lavoro.percorso = config.file_input;
  lavoro.identita = *file_del_lavoro_;
  lavoro.righe = static_cast<int32_t>(righe.size());
  if (const auto errore = cattura_errore([&] { giornale_.inizia(lavoro); })) {
    rifiuta_file_comandi("Impossibile scrivere il giornale " + std::string(nome_giornale) + ": " +
                         errore->descrizione());
    return;
  }
  for (std::string& riga : righe) List2.AddItem(std::move(riga));
  Timer3.setEnabled(true);
}

void Principale::rifiuta_file_comandi(const std::string& motivo) {
  chiudi_comunicazione(codice_esito::errore_apertura, motivo);
}

bool Principale::apri_comunicazione_ecr() {
  // With no register to reach, the job ends as a failed open that says why. Asking may create
  // the register's control, which may run messages as any call does.
  std::string assenza;
  chiama_driver(0, [&] { assenza = CoEcrCom1.motivo_assenza(); });
  if (!assenza.empty()) {
    chiudi_comunicazione(codice_esito::errore_apertura, assenza);
    return false;
  }
  int32_t risultato = 0;
  const auto errore = cattura_errore([&] {
    chiama_driver(membro_proprieta_9, [&] { CoEcrCom1.imposta_proprieta_9(0); });
    std::string richiesta = "PORT = " + std::to_string(config.porta_ecr);
    chiama_driver(membro_apri, [&] { risultato = CoEcrCom1.apri(richiesta); });
  });
  if (errore) {
    chiudi_comunicazione(codice_esito::errore_apertura, "");
    return false;
  }
  if (risultato == 0) return true;
  chiudi_comunicazione(risultato, descrizione_open_rifiutato);
  return false;
}

bool Principale::lavoro_attivo(uint64_t lavoro) const {
  return stampa_in_corso_ && !chiusura_in_corso_ && !fine_rimandata_ && lavoro == lavoro_;
}

void Principale::chiama_driver(int32_t membro, const std::function<void()>& chiamata) {
  // The end asked during the call comes the moment it returns, but a job being ended first
  // finishes ending: its outcome is the register's word, not the journal's.
  struct Ritorno {
    Principale& p;
    ~Ritorno() {
      if (--p.chiamate_in_corso_ > 0 || !p.termine_rimandato_ || p.chiusura_in_corso_) return;
      p.termine_rimandato_ = false;
      p.ambiente_.termina();
    }
  };
  if (chiamate_in_corso_ == 0) {
    membro_in_corso_ = membro;
    inizio_chiamata_ = ambiente_.millisecondi();
    bloccata_annotata_ = false;
    guardia.setEnabled(true);
  }
  ++chiamate_in_corso_;
  Ritorno ritorno{*this};
  chiamata();
}

// The first to find the call past the limit says in the log which member hangs.
bool Principale::chiamata_bloccata() {
  if (chiamate_in_corso_ == 0 || ambiente_.millisecondi() - inizio_chiamata_ < limite_chiamata_ms)
    return false;
  if (std::exchange(bloccata_annotata_, true)) return true;
  const std::string chiamata = membro_in_corso_ == 0
                                   ? std::string("la creazione del driver")
                                   : "il membro " + std::to_string(membro_in_corso_);
  annota("Il registratore non risponde: " + chiamata + " e' in corso da piu' di " +
         std::to_string(limite_chiamata_ms / 1000) + " s");
  return true;
}

// The clicks that came during the calls of the handler now over, each answered once, as if it
// came now: never inside a call, nor while a job is being ended.
void Principale::rispondi_rimandati() {
  if (chiamate_in_corso_ > 0 || chiusura_in_corso_) return;
  if (std::exchange(domanda_rimandata_, false)) salta_errori([&] { Command3_Click(); });
  if (std::exchange(configurazione_rimandata_, false)) salta_errori([&] { Command1_Click(); });
}

// A call past the limit has stopped answering (a hung register, a control waiting for ever):
// the close and the end asked during it act now.
void Principale::guardia_Timer() {
  if (chiamate_in_corso_ == 0) {
    guardia.setEnabled(false);
    return;
  }
  if (!chiamata_bloccata()) return;
  if (std::exchange(termine_rimandato_, false)) ambiente_.termina();
  if (std::exchange(domanda_rimandata_, false)) Command3_Click();
}

void Principale::annota_errore_sfuggito(const std::string& descrizione) {
  annota(descrizione.empty() ? "Errore non gestito" : "Errore non gestito: " + descrizione);
}

// The end a tick or a click asked for while a register call was in progress.
bool Principale::chiudi_se_rimandato() {
  if (!fine_rimandata_) return false;
  const FineRimandata fine = std::move(*fine_rimandata_);
  chiudi_comunicazione(fine.codice, fine.descrizione);
  return true;
}

// The time-out acts before a line is sent: a line that took the job past its time is the
// last one, even when the time-out tick has not been delivered yet.
bool Principale::tempo_scaduto() {
  return scadenza_ && ambiente_.millisecondi() >= *scadenza_;
}

void Principale::Timer3_Timer() {
  const AllUscita dopo{[this] { rispondi_rimandati(); }};
  if (!stampa_in_corso_ || chiusura_in_corso_ || invio_in_corso_ || chiamate_in_corso_ > 0) return;
  Bandiera invio{invio_in_corso_};
  const uint64_t lavoro = lavoro_;
  Trappola passo{errori_, [this, lavoro] { return lavoro_attivo(lavoro); }};

  bool finito = false;
  if (!passo([&] { finito = List2.ListIndex() >= List2.ListCount() - 1; })) return;
  if (finito) {
    chiudi_comunicazione(codice_esito::successo, "");
    return;
  }
  if (tempo_scaduto()) {
    chiudi_comunicazione(codice_esito::timeout, "");
    return;
  }
  if (!passo([&] { List2.setListIndex(static_cast<int16_t>(List2.ListIndex() + 1)); }))
    return abbandona_riga(lavoro, passo);
  if (!passo([&] {
        int32_t stato = 0;
        chiama_driver(membro_stato, [&] { stato = CoEcrCom1.stato(); });
        Label1.setCaption(stato == 0 ? "OK" : "Cod." + std::to_string(stato));
      }))
    return abbandona_riga(lavoro, passo);
  // A time-out or an interruption that came during the status: the line is not sent.
  if (chiudi_se_rimandato()) return;
  std::string riga;
  if (!passo([&] { riga = List2.List(List2.ListIndex()); })) return abbandona_riga(lavoro, passo);
  std::string risposta;
  int32_t risultato = 0;
  if (!passo([&] {
        risposta.clear();
        chiama_driver(membro_invia, [&] {
          risultato = CoEcrCom1.invia(riga, risposta);
          // Counted before an end asked during the call is acted on.
          if (risultato == 0) giornale_.accettate(++righe_accettate_);
        });
      }))
    return abbandona_riga(lavoro, passo);
  // A refusal is the register's own word on the line, as with a control that does not pump.
  if (risultato != 0) {
    chiudi_comunicazione(risultato, risposta);
    return;
  }
  chiudi_se_rimandato();
}

// The operator gave up a line: it is neither skipped nor sent again behind their back, so the
// job ends here, with what the register has taken so far.
void Principale::abbandona_riga(uint64_t lavoro, const Trappola& passo) {
  if (chiudi_se_rimandato() || !lavoro_attivo(lavoro)) return;
  const std::string errore = passo.errore() ? passo.errore()->descrizione() + "; " : "";
  chiudi_comunicazione(codice_esito::non_completata,
                       errore + righe_accettate(righe_accettate_, List2.ListCount()));
}

void Principale::Timer2_Timer() {
  const AllUscita dopo{[this] { rispondi_rimandati(); }};
  if (!stampa_in_corso_ || chiusura_in_corso_) return;
  chiudi_comunicazione(codice_esito::timeout, "");
}

void Principale::Command2_Click() {
  const AllUscita dopo{[this] { rispondi_rimandati(); }};
  if (!stampa_in_corso_ || chiusura_in_corso_) return;
  chiudi_comunicazione(codice_esito::interrotto, "");
}

// The outcome is recorded as decided before it is written, and the journal goes last: a start
// after a crash at any point in between writes the same outcome, or none, never another one.
void Principale::chiudi_comunicazione(int32_t res, std::string desc_errore) {
  if (chiusura_in_corso_) return;
  // Asked from inside a register call: the job ends right after it, never inside it.
  if (chiamate_in_corso_ > 0) {
    if (!fine_rimandata_) fine_rimandata_ = FineRimandata{res, std::move(desc_errore)};
    return;
  }
  fine_rimandata_.reset();
  Bandiera chiusura{chiusura_in_corso_};
  comandi_.reset();  // a writer of the next file never waits behind this job's message box
  salta_errori([&] { chiama_driver(membro_chiudi, [&] { CoEcrCom1.chiudi(); }); });
  giornale_.decidi(res, desc_errore);
  salta_errori([&] { scrivi_Result_file(res, desc_errore); });
  salta_errori([&] { Timer2.setEnabled(false); });
  salta_errori([&] { Timer3.setEnabled(false); });
  salta_errori([&] { List2.Clear(); });
  stampa_in_corso_ = false;
  if (file_del_lavoro_) togli_file_comandi(config.file_input, *file_del_lavoro_);
  file_del_lavoro_.reset();
  giornale_.rimuovi();
  restituisci_memoria();
  // The next command file may have landed while this job ended, when the poll could not take
  // it: the poll looks once more, right after.
  sorveglianza.guarda_ancora();
  // The end asked while the register was being closed, now that the job has ended.
  if (std::exchange(termine_rimandato_, false)) ambiente_.termina();
}

std::optional<IdentitaFile> Principale::riportata(std::optional<IdentitaFile> identita,
                                                  const std::string& percorso) {
  if (identita) identita = ambiente_.identita_riportata(*identita, percorso);
  return identita;
}

// Whether the file at the path may still be the one with that identity: where its facts cannot
// tell (a write time kept to two seconds, no file ID), its content does.
bool Principale::forse_ancora(const std::string& percorso, const IdentitaFile& identita) {
  const std::optional<IdentitaFile> trovato = riportata(identita_file(percorso), percorso);
  if (!trovato || confronta(*trovato, identita) == Confronto::altro) return false;
  std::optional<IdentitaFile> letto;
  cattura_errore([&] {
    letto = riportata(leggi_file_regolare(percorso, dimensione_massima_comandi).identita, percorso);
  });
  return !letto || confronta(*letto, identita) != Confronto::altro;
}

// The job's end deletes the file the job read or none: proved through the handle it is deleted
// by, so that no second look by its path decides. A file equal to it in all but a file ID (a
// share that gives none, an ID that moved) may be its exact copy, the next job: it is not
// deleted, and not printed either until it changes, so that no receipt is printed twice.
void Principale::togli_file_comandi(const std::string& percorso, const IdentitaFile& identita) {
  FileComandi file(percorso, FileComandi::Presa::da_togliere);
  std::optional<IdentitaFile> trovato = riportata(file.identita(), percorso);
  if (trovato) {
    cattura_errore(
        [&] { trovato = riportata(file.leggi(dimensione_massima_comandi).identita, percorso); });
  } else if (file.occupato()) {
    // Held by a program that keeps deletion out: judged by its facts, and left.
    trovato = riportata(identita_file(percorso), percorso);
  }
  const Confronto confronto = trovato ? confronta(*trovato, identita) : Confronto::altro;
  if (confronto == Confronto::altro || (confronto == Confronto::stesso && file.cancella())) return;
  non_cancellato_ = identita;
  if (confronto == Confronto::stesso) return;
  const std::string nota = "Il file comandi " + percorso +
                           " e' uguale a quello appena stampato, ma il file system non ne "
                           "conferma l'identificativo: non e' cancellato, e sara' stampato solo "
                           "quando cambia";
  if (nota == incerto_annotato_) return;
  incerto_annotato_ = nota;
  annota(nota);
}

// A result file that could not be written is said in the log and on screen, and an old one
// that could not be replaced goes: the point-of-sale program must not read it as this outcome.
void Principale::scrivi_Result_file(int32_t coderrore, std::string subdesc_errore) {
  const std::string messaggio = messaggio_composto(coderrore, subdesc_errore);
  std::optional<std::string> mancato;
  if (const auto errore = cattura_errore(
          [&] { riscrivi_file(config.file_result, testo_result(coderrore, messaggio)); }))
    mancato = "Impossibile scrivere il file risultati " + config.file_result + ": " +
              errore->descrizione();
  if (mancato) cancella_file(config.file_result);
  if (!config.file_log.empty()) {
    salta_errori([&] {
      aggiungi_a_file(config.file_log, riga_log(ambiente_.adesso(), coderrore, messaggio));
    });
    if (mancato)
      salta_errori([&] {
        aggiungi_a_file(config.file_log, riga_log(ambiente_.adesso(), coderrore, *mancato));
      });
  }
  // Once the program's end waits only for this job's, no box holds it back: at a session's end
  // the system may kill a program held by one, and its next start would give the outcome again.
  const bool mostra = config.mostra_errori && !termine_rimandato_;
  if (coderrore != 0 && mostra)
    salta_errori([&] { operatore_.messaggio(messaggio, Icona::errore); });
  if (mancato && mostra) salta_errori([&] { operatore_.messaggio(*mancato, Icona::errore); });
}

}  // namespace borvan

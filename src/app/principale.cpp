#include "app/principale.h"

#include <utility>

#include "support/errore_runtime.h"
#include "support/operatore.h"
#include "support/trappola.h"

namespace borvan {

namespace {

const char* const domanda_chiusura =
    "Sicuro di voler chiudere BorvanIF? Non sara' piu' possibile stampare gli scontrini "
    "finche' il programma non verra' riaperto.";
const char* const messaggio_stampa_in_corso =
    "Stampa in corso. Impossibile aprire pagina di configurazione.";
const char* const descrizione_open_rifiutato = "Errore su OPEN WinEcrCom";

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

}  // namespace

Principale::Principale(std::string cartella_eseguibile, std::unique_ptr<DriverEcr> driver,
                       Operatore& operatore, GestoreErrori& errori, Ambiente& ambiente)
    : CoEcrCom1(*driver),
      cartella_eseguibile_(std::move(cartella_eseguibile)),
      driver_(std::move(driver)),
      operatore_(operatore),
      errori_(errori),
      ambiente_(ambiente) {
  Form.setCaption("BORVAN INTERFACE");
  Label2.setCaption("Stato registratore di cassa :");
  Command1.setCaption("Configurazione");
  Command2.setCaption("Interrompi la stampa");
  Command3.setCaption("Chiudi Borvan Interface");
  Command4.setCaption("Riduci ad icona");
  Command2.setVisible(false);
  Timer3.setInterval(1);
}

bool Principale::Form_Load() {
  if (ambiente_.altra_istanza_attiva()) return false;
  stampa_in_corso = false;
  leggi_config();
  return true;
}

void Principale::Command3_Click() {
  if (operatore_.domanda(domanda_chiusura)) ambiente_.termina();
}

void Principale::Command4_Click() {
  Form.setWindowState(Window::Stato::ridotta);
}

void Principale::leggi_config() {
  if (!leggi_configurazione(*this, cartella_eseguibile_, operatore_, errori_)) return;
  Trappola passo{errori_};
  passo([&] {
    Timer1.setInterval(tempo_polling);
    Timer1.setEnabled(true);
  });
}

void Principale::Command1_Click() {
  Trappola passo{errori_};
  if (stampa_in_corso || chiusura_in_corso_) {
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
  if (stampa_in_corso || chiusura_in_corso_) return;
  Command2.setVisible(false);
  if (!file_esiste(file_input)) {
    non_cancellato_.reset();
    return;
  }
  if (non_cancellato_) {
    if (firma_file(file_input) == non_cancellato_) return;
    non_cancellato_.reset();
  }
  if (!apri_comunicazione_ecr()) return;
  stampa_in_corso = true;
  ++lavoro_;
  riga_in_sospeso_ = false;
  List2.Clear();
  Command2.setVisible(true);
  if (tempo_timeout != 0) {
    Timer2.setInterval(tempo_timeout * 1000);
    Timer2.setEnabled(true);
  } else {
    Timer2.setEnabled(false);
  }
  carica_righe();
}

// Loads the command file into the list and starts sending. The register is already open: a
// file that cannot be read, or that is longer than the list holds, ends the job before any
// line is sent, so that the point-of-sale program gets an outcome and never half a receipt.
void Principale::carica_righe() {
  std::vector<std::string> righe;
  std::optional<ErroreRuntime> errore;
  try {
    righe = dividi_righe(leggi_file(file_input));
  } catch (...) {
    errore = errore_corrente();
  }
  if (errore) {
    chiudi_comunicazione(codice_esito::errore_apertura,
                         "Impossibile leggere il file comandi: " + errore->descrizione());
    return;
  }
  if (righe.size() > static_cast<size_t>(ListBox::capacita)) {
    chiudi_comunicazione(codice_esito::errore_apertura,
                         "File comandi troppo lungo: piu' di 32767 righe");
    return;
  }
  for (std::string& riga : righe) List2.AddItem(std::move(riga));
  Timer3.setEnabled(true);
}

bool Principale::apri_comunicazione_ecr() {
  int32_t risultato = 0;
  bool errore = false;
  try {
    CoEcrCom1.imposta_proprieta_9(0);
    std::string richiesta = "PORT = " + std::to_string(porta_ecr);
    risultato = CoEcrCom1.apri(richiesta);
  } catch (...) {
    errore = true;
  }
  if (errore) {
    chiudi_comunicazione(codice_esito::errore_apertura, "");
    return false;
  }
  if (risultato == 0) return true;
  chiudi_comunicazione(risultato, descrizione_open_rifiutato);
  return false;
}

bool Principale::lavoro_attivo(uint64_t lavoro) const {
  return stampa_in_corso && !chiusura_in_corso_ && lavoro == lavoro_;
}

void Principale::Timer3_Timer() {
  if (!stampa_in_corso || chiusura_in_corso_ || invio_in_corso_) return;
  Bandiera invio{invio_in_corso_};
  const uint64_t lavoro = lavoro_;
  Trappola passo{errori_, [this, lavoro] { return lavoro_attivo(lavoro); }};

  bool finito = false;
  if (!passo([&] { finito = !riga_in_sospeso_ && List2.ListIndex() >= List2.ListCount() - 1; }))
    return;
  if (finito) {
    chiudi_comunicazione(codice_esito::successo, "");
    return;
  }
  if (!passo([&] {
        if (riga_in_sospeso_) return;
        List2.setListIndex(static_cast<int16_t>(List2.ListIndex() + 1));
        riga_in_sospeso_ = true;
      }))
    return;
  if (!passo([&] {
        const int32_t stato = CoEcrCom1.stato();
        Label1.setCaption(stato == 0 ? "OK" : "Cod." + std::to_string(stato));
      }))
    return;
  std::string riga;
  if (!passo([&] { riga = List2.List(List2.ListIndex()); })) return;
  std::string risposta;
  int32_t risultato = 0;
  if (!passo([&] {
        risposta.clear();
        risultato = CoEcrCom1.invia(riga, risposta);
      }))
    return;
  riga_in_sospeso_ = false;
  if (risultato != 0) chiudi_comunicazione(risultato, risposta);
}

void Principale::Timer2_Timer() {
  if (!stampa_in_corso || chiusura_in_corso_) return;
  chiudi_comunicazione(codice_esito::timeout, "");
}

void Principale::Command2_Click() {
  if (!stampa_in_corso || chiusura_in_corso_) return;
  chiudi_comunicazione(codice_esito::interrotto, "");
}

void Principale::chiudi_comunicazione(int32_t res, std::string desc_errore) {
  if (chiusura_in_corso_) return;
  Bandiera chiusura{chiusura_in_corso_};
  salta_errori([&] { CoEcrCom1.chiudi(); });
  salta_errori([&] { scrivi_Result_file(res, desc_errore); });
  salta_errori([&] { Timer2.setEnabled(false); });
  salta_errori([&] { Timer3.setEnabled(false); });
  salta_errori([&] { List2.Clear(); });
  stampa_in_corso = false;
  cancella_file(file_input);
  if (file_esiste(file_input)) non_cancellato_ = firma_file(file_input);
}

void Principale::scrivi_Result_file(int32_t coderrore, std::string subdesc_errore) {
  const std::string messaggio = messaggio_composto(coderrore, subdesc_errore);
  salta_errori([&] { scrivi_file(file_result, testo_result(coderrore, messaggio)); });
  if (!file_log.empty())
    salta_errori(
        [&] { aggiungi_a_file(file_log, riga_log(ambiente_.adesso(), coderrore, messaggio)); });
  if (coderrore != 0 && mostra_errori)
    salta_errori([&] { operatore_.messaggio(messaggio, Icona::errore); });
}

}  // namespace borvan

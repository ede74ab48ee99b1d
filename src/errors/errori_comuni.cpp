#include "errors/errori_comuni.h"

#include <optional>

#include "support/file.h"
#include "support/operatore.h"
#include "support/testo.h"
#include "support/trappola.h"

namespace borvan {

namespace {

// Lock conflicts of the shared database engine: some clear by themselves at once, the others
// are worth a few silent attempts before anyone is bothered.
bool riprova_subito(int32_t numero) {
  return numero == 3212 || numero == 3218 || numero == 3260;
}

bool gruppo_blocco(int32_t numero) {
  return numero == 3045 || numero == 3050 || numero == 3186 || numero == 3197 || numero == 3261;
}

constexpr int32_t ripetizioni_silenziose = 10;

}  // namespace

int16_t ErroriComuni::elabora_errore(const ErroreRuntime& errore, int32_t& /*linea*/) {
  return decidi(errore.numero(), std::string("Descrizione : ") + errore.descrizione() + fine_riga +
                                     "Source : " + errore.sorgente() + fine_riga);
}

int16_t ErroriComuni::elabora_errore(int32_t numero, int32_t& /*linea*/) {
  return decidi(numero,
                std::string("Descrizione : ") + descrizione_errore(numero) + fine_riga + fine_riga);
}

int16_t ErroriComuni::decidi(int32_t numero, const std::string& inizio) {
  // From here on nothing may reach the caller: every failing step is passed over.
  int16_t risultato = 0;
  std::string messaggio = inizio;
  salta_errori([&] { messaggio += "Codice errore : " + std::to_string(numero) + fine_riga; });

  // The pointer is set directly: going through the trapped routine would bring its own
  // failures back here.
  int16_t puntatore_salvato = puntatore_normale;
  salta_errori([&] { puntatore_salvato = operatore_.puntatore(); });
  salta_errori([&] { operatore_.imposta_puntatore(puntatore_normale); });

  const auto mostra_dialogo = [&] {
    salta_errori([&] { variabili_.testo_errore = messaggio; });
    salta_errori([&] {
      operatore_.mostra_form_errore(variabili_.testo_errore, variabili_.risposta_errore, *this);
    });
  };

  if (riprova_subito(numero)) {
    risultato = risposta_riprova;
  } else if (gruppo_blocco(numero)) {
    if (numero == variabili_.ultimo_errore) {
      ++variabili_.conta_errore;
    } else {
      variabili_.conta_errore = 0;
    }
    variabili_.ultimo_errore = numero;
    if (variabili_.conta_errore <= ripetizioni_silenziose) {
      risultato = risposta_riprova;
    } else {
      mostra_dialogo();
      if (variabili_.risposta_errore == risposta_riprova) {
        risultato = risposta_riprova;
      } else {
        // Giving up a lock conflict may leave shared data half-updated: only with the word.
        std::optional<std::string> parola;
        salta_errori([&] {
          parola = operatore_.chiedi_testo("Inserire la parola di accesso per ignorare l'update");
        });
        risultato =
            parola && maiuscolo(*parola) == parola_accesso ? risposta_annulla : risposta_riprova;
      }
    }
  } else {
    mostra_dialogo();
    risultato = static_cast<int16_t>(variabili_.risposta_errore);
  }

  salta_errori([&] { operatore_.imposta_puntatore(puntatore_salvato); });
  return risultato;
}

}  // namespace borvan

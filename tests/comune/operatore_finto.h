#pragma once

// A scripted operator and a stand-in for the common error routine.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/gestore_errori.h"
#include "support/operatore.h"

namespace borvan::test {

// The next scripted answer, or `altrimenti` when the queue has run dry.
template <class T>
T prendi(std::deque<T>& coda, T altrimenti) {
  if (coda.empty()) return altrimenti;
  T valore = std::move(coda.front());
  coda.pop_front();
  return valore;
}

// Answers from queues, records what was shown, and can run code from inside any modal box (to
// fire timer ticks while the box waits, as a real message loop does).
class OperatoreFinto : public Operatore {
 public:
  // Recorded.
  std::vector<std::string> messaggi, domande, prompt, testi_errore;
  std::vector<int16_t> modali;  // every modal box, by the pointer style it found
  std::vector<RichiestaSalvaFile> richieste_file;

  // Scripted answers; when a queue runs dry: No, cancelled, give up (2), cancelled.
  std::deque<bool> risposte_domanda;
  std::deque<std::optional<std::string>> risposte_testo, risposte_file;
  std::deque<int32_t> risposte_errore;

  // Runs inside every modal box before it is answered.
  std::function<void()> durante_modale;
  int16_t stile_puntatore = puntatore_normale;
  double larghezza = 15360, altezza = 11520;  // the screen, in twips

  void messaggio(const std::string& testo, Icona) override {
    messaggi.push_back(testo);
    modale();
  }
  bool domanda(const std::string& testo) override {
    domande.push_back(testo);
    return modale(), prendi(risposte_domanda, false);
  }
  std::optional<std::string> chiedi_testo(const std::string& p) override {
    prompt.push_back(p);
    return modale(), prendi(risposte_testo, {});
  }
  void mostra_form_errore(const std::string& testo, int32_t& risposta, GestoreErrori&) override {
    testi_errore.push_back(testo);
    risposta = 4;  // the dialog's load sets retry before anyone answers
    modale();
    risposta = prendi(risposte_errore, 2);
  }
  std::optional<std::string> salva_file(const RichiestaSalvaFile& richiesta) override {
    richieste_file.push_back(richiesta);
    return modale(), prendi(risposte_file, {});
  }
  double larghezza_schermo() const override { return larghezza; }
  double altezza_schermo() const override { return altezza; }
  int16_t puntatore() const override { return stile_puntatore; }
  void imposta_puntatore(int16_t stile) override { stile_puntatore = stile; }

 private:
  void modale() {
    modali.push_back(stile_puntatore);
    if (durante_modale) durante_modale();
  }
};

// Records the errors and answers from a queue (give up, 2, when it runs dry).
class ErroriFinti : public GestoreErrori {
 public:
  std::vector<ErroreRuntime> ricevuti;
  std::deque<int16_t> risposte;

  int16_t elabora_errore(const ErroreRuntime& errore, int32_t&) override {
    ricevuti.push_back(errore);
    return prendi(risposte, risposta_annulla);
  }
};

}  // namespace borvan::test

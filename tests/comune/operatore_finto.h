#pragma once

// A scripted operator: answers from queues, records what was shown, and can run code from
// inside any modal box (to fire timer ticks while the box waits, as a real message loop does).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/operatore.h"

namespace borvan::test {

class OperatoreFinto : public Operatore {
 public:
  struct Messaggio {
    std::string testo;
    Icona icona;
  };

  // Recorded.
  std::vector<Messaggio> messaggi;
  std::vector<std::string> domande;
  std::vector<std::string> prompt;
  std::vector<std::string> testi_errore;
  std::vector<int16_t> puntatori_durante_modale;
  std::vector<RichiestaSalvaFile> richieste_file;

  // Scripted answers; when a queue runs dry: No, cancelled, give up (2), cancelled.
  std::deque<bool> risposte_domanda;
  std::deque<std::optional<std::string>> risposte_testo;
  std::deque<int32_t> risposte_errore;
  std::deque<std::optional<std::string>> risposte_file;

  // Runs inside every modal box before it is answered.
  std::function<void()> durante_modale;

  double schermo_larghezza = 15360;
  double schermo_altezza = 11520;
  int16_t stile_puntatore = puntatore_normale;

  void messaggio(const std::string& testo, Icona icona) override {
    messaggi.push_back({testo, icona});
    modale();
  }
  bool domanda(const std::string& testo) override {
    domande.push_back(testo);
    modale();
    return prendi(risposte_domanda, false);
  }
  std::optional<std::string> chiedi_testo(const std::string& p) override {
    prompt.push_back(p);
    modale();
    return prendi(risposte_testo, std::optional<std::string>{});
  }
  void mostra_form_errore(const std::string& testo, int32_t& risposta) override {
    testi_errore.push_back(testo);
    risposta = 4;  // the dialog's load sets retry before anyone answers
    modale();
    risposta = prendi(risposte_errore, 2);
  }
  std::optional<std::string> salva_file(const RichiestaSalvaFile& richiesta) override {
    richieste_file.push_back(richiesta);
    modale();
    return prendi(risposte_file, std::optional<std::string>{});
  }
  double larghezza_schermo() const override { return schermo_larghezza; }
  double altezza_schermo() const override { return schermo_altezza; }
  int16_t puntatore() const override { return stile_puntatore; }
  void imposta_puntatore(int16_t stile) override { stile_puntatore = stile; }

  size_t modali() const {
    return messaggi.size() + domande.size() + prompt.size() + testi_errore.size() +
           richieste_file.size();
  }

 private:
  void modale() {
    puntatori_durante_modale.push_back(stile_puntatore);
    if (durante_modale) durante_modale();
  }
  template <class T>
  static T prendi(std::deque<T>& coda, T altrimenti) {
    if (coda.empty()) return altrimenti;
    T valore = std::move(coda.front());
    coda.pop_front();
    return valore;
  }
};

}  // namespace borvan::test

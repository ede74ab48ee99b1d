#pragma once

#include <algorithm>
#include <functional>

#include "app/principale.h"
#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"
#include "errors/errori_comuni.h"

namespace borvan::test {

// The main window's system, in memory: clocks that move only when told, an end that is only
// recorded (`al_termine` sees the world as the end found it: here the program goes on).
struct AmbienteFinto : Ambiente {
  int terminazioni = 0;
  int64_t orologio = 0;
  std::function<void()> configurazione = [] {};
  std::function<void()> al_termine = [] {};
  int blocco_rifiutato = 0;  // the lock is refused this many times less one (-1: always)
  bool istanza_vista = false;
  // The file system modelled: the system's identities, or what a poorer one would tell.
  std::function<IdentitaFile(IdentitaFile, const std::string&)> disco = [](auto id, auto&) {
    return id;
  };

  bool altra_istanza_attiva() override {
    if (blocco_rifiutato > 0) --blocco_rifiutato;
    return blocco_rifiutato != 0;
  }
  bool istanza_visibile() override { return istanza_vista; }
  void attendi(int32_t millisecondi) override { orologio += millisecondi; }
  IdentitaFile identita_riportata(IdentitaFile identita, const std::string& percorso) override {
    return disco(identita, percorso);
  }
  void termina() override {
    ++terminazioni;
    al_termine();
  }
  DataOra adesso() override { return {2026, 1, 5, 4, 3, 7}; }
  int64_t millisecondi() override { return orologio; }
  void mostra_configurazione() override { configurazione(); }
  std::vector<std::string> avvertenze(const std::string&) override { return {}; }
};

// A scripted register: records every call (also those that raise) and answers as told. `guasto`
// runs inside each member, with its dispatch id, and may throw to make it raise, or run the
// program's handlers there, as a control that pumps messages does.
class DriverFinto : public DriverEcr {
 public:
  // "proprieta_9 0", "apri PORT = 1", "stato", "invia <line>", "chiudi"
  std::vector<std::string> chiamate;
  std::vector<std::string> inviate;   // the lines accepted
  std::vector<std::string> annidate;  // the calls made while another was in progress
  int32_t risultato_apertura = 0;
  int32_t stato_registratore = 0;
  size_t riga_rifiutata = 0;  // counted from 1, refused with code -7 and " carta esaurita  "
  std::function<void(int)> guasto = [this](int id) {
    if (id == solleva) throw ErroreRuntime(codice_errore::errore_io);
  };
  int solleva = 0;      // the member that always raises, by default
  std::string assenza;  // why no register can be reached; empty for a driver that works

  void imposta_proprieta_9(int16_t valore) override {
    chiama(membro_proprieta_9, "proprieta_9 " + std::to_string(valore));
  }
  int32_t apri(std::string& richiesta) override {
    return chiama(membro_apri, "apri " + richiesta), risultato_apertura;
  }
  int32_t stato() override { return chiama(membro_stato, "stato"), stato_registratore; }
  int32_t chiudi() override { return chiama(membro_chiudi, "chiudi"), 0; }
  std::string motivo_assenza() const override { return assenza; }
  int32_t invia(std::string& riga, std::string& risposta) override {
    chiama(membro_invia, "invia " + riga);
    if (inviate.size() + 1 == riga_rifiutata) return risposta = " carta esaurita  ", -7;
    return inviate.push_back(riga), 0;
  }

  bool in_chiamata() const { return profondita_ > 0; }
  size_t conta(const std::string& chiamata) const {
    return std::count(chiamate.begin(), chiamate.end(), chiamata);
  }

 private:
  void chiama(int id, const std::string& chiamata) {
    chiamate.push_back(chiamata);
    if (profondita_ > 0) annidate.push_back(chiamate.back());
    struct Uscita {
      int& profondita;
      ~Uscita() { --profondita; }
    } uscita{++profondita_};
    guasto(id);
  }
  int profondita_ = 0;
};

// The main window over `config`, a scripted register and operator, the real error routine.
struct Banco {
  explicit Banco(const std::string& config = "") {
    cartella.scrivi("BorvanIF.CFG", config);
    p->Form_Load();
  }
  // Drops a command file and polls.
  void lavoro(const std::string& contenuto) {
    cartella.scrivi("Scontr.ECR", contenuto);
    p->Timer1_Timer();
  }
  // Runs send ticks until the job ends (bounded, so that a stuck job fails the test).
  void invia_tutto() {
    for (int i = 0; i < 40000 && p->stampa_in_corso(); ++i) p->Timer3_Timer();
  }
  std::string result() const { return cartella.leggi("Result.TXT"); }
  size_t righe_log() const { return cartella.conta_righe("BorvanIF.LOG"); }
  // The program ends without a step more (killed) and starts again on the same folder.
  void riavvia() {
    p.reset();
    driver = new DriverFinto;
    p = std::make_unique<Principale>(cartella.cartella(), std::unique_ptr<DriverEcr>(driver),
                                     operatore, errori, ambiente);
    p->Form_Load();
  }

  CartellaTemporanea cartella;
  OperatoreFinto operatore;
  ErroriComuni errori{operatore};
  AmbienteFinto ambiente;
  DriverFinto* driver = new DriverFinto;
  std::unique_ptr<Principale> p = std::make_unique<Principale>(
      cartella.cartella(), std::unique_ptr<DriverEcr>(driver), operatore, errori, ambiente);
};

}  // namespace borvan::test

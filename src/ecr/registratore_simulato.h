#pragma once

// A register that needs no hardware: it prints the lines it accepts on a paper-roll file,
// ECRSIM.TXT, and takes its behaviour from a small settings file, ECRSIM.CFG, both in the
// application directory. The settings are read again whenever a job opens the register, so
// an integrator can make the next job refuse a line, run slowly or fail without restarting.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "ecr/driver_ecr.h"
#include "support/sistema.h"

namespace borvan {

// How the simulated register behaves, each field set by one key of ECRSIM.CFG.
struct ImpostazioniSimulatore {
  int32_t risultato_apertura = 0;
  int32_t stato = 0;
  int32_t riga_rifiutata = 0;  // counted from 1 since the open; 0 refuses none
  int32_t codice_rifiuto = 1;
  std::string testo_rifiuto{};
  int32_t ritardo_riga_ms = 0;
  int32_t membro_in_errore = 0;   // dispatch id; 0 for none
  bool elabora_eventi = false;    // every member runs the message loop for the line's delay
  bool sito_richiesto = false;    // the stand-in control answers only a host that gave its site
  int32_t membro_in_arresto = 0;  // the stand-in control crashes in this member; 0 for none
  int32_t membro_bloccato = 0;    // runs the message loop for ever, never answering; 0 for none
  int32_t membro_da_dati = 0;     // the stand-in control runs code from a data page in this one
};

class RegistratoreSimulato : public DriverEcr {
 public:
  // `cartella_applicazione` ends with the path separator.
  explicit RegistratoreSimulato(std::string cartella_applicazione);
  ~RegistratoreSimulato() override;

  void imposta_proprieta_9(int16_t valore) override;
  int32_t apri(std::string& richiesta) override;
  int32_t stato() override;
  int32_t invia(std::string& riga, std::string& risposta) override;
  int32_t chiudi() override;
  void imposta_ciclo_eventi(CicloEventi ciclo) override { ciclo_eventi_ = std::move(ciclo); }

 private:
  void leggi_impostazioni();
  void forse_errore(int32_t membro) const;
  void libero() const;
  void attendi(int32_t membro);
  void apri_rotolo() noexcept;
  void stampa(const std::string& riga);

  std::string cartella_;
  ImpostazioniSimulatore impostazioni_;
  int32_t righe_dall_apertura_ = 0;
  bool aperto_ = false;
  int32_t in_attesa_ = 0;  // members waiting in the message loop
  CicloEventi ciclo_eventi_;
  // The paper roll, open from the open request to the close: one write a line, no open and
  // close each. Between jobs it is closed, so the user can take it away.
  std::unique_ptr<FileScrittura> rotolo_;
};

// ECRSIM.CFG in `cartella` as the file now stands: a missing or unreadable file, or a missing
// key, leaves the default; the last line with a key counts, unless its number does not fit.
ImpostazioniSimulatore leggi_impostazioni_simulatore(const std::string& cartella);

}  // namespace borvan

#pragma once

#include "support/operatore.h"

namespace borvan::qt {

// The operator as Qt shows it: message boxes, the input box, the error dialog, the file chooser.
class OperatoreQt : public Operatore {
 public:
  void messaggio(const std::string& testo, Icona icona) override;
  bool domanda(const std::string& testo) override;
  std::optional<std::string> chiedi_testo(const std::string& prompt) override;
  void mostra_form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                          GestoreErrori& errori) override;
  std::optional<std::string> salva_file(const RichiestaSalvaFile& richiesta) override;
  double larghezza_schermo() const override;
  double altezza_schermo() const override;
  int16_t puntatore() const override { return stile_; }
  void imposta_puntatore(int16_t stile) override;

 private:
  int16_t stile_ = puntatore_normale;
};

}  // namespace borvan::qt

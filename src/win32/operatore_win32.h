#pragma once

#include <windows.h>

#include "support/operatore.h"

namespace borvan::win32 {

class Ciclo;

// The operator as Windows shows it: message boxes, the input box, the error dialog, the
// save-file chooser, the screen and the application-wide pointer.
class OperatoreWin32 : public Operatore {
 public:
  // The boxes and dialogs run in `ciclo`, which also shows the pointer.
  explicit OperatoreWin32(Ciclo& ciclo) : ciclo_(ciclo) {}

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
  Ciclo& ciclo_;
  int16_t stile_ = puntatore_normale;
};

}  // namespace borvan::win32

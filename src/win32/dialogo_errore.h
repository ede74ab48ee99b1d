#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "errors/form_errore.h"
#include "win32/modulo.h"
#include "win32/viste.h"

namespace borvan::win32 {

// The error dialog "ERRORE" over its core. Enter and Esc reach the core whichever control has
// the focus, on either tab; closing it any other way leaves the answer the load gave (retry).
class DialogoErrore : public Modulo {
 public:
  DialogoErrore(Ciclo& ciclo, const std::string& testo_errore, int32_t& risposta_errore,
                Operatore& operatore, GestoreErrori& errori);
  ~DialogoErrore() override { distruggi(); }

  // Loads the core (centring the window) and runs the dialog modally.
  void esegui();

  Form_errore& form() { return form_; }
  HWND sstab1, picture1, label1, label2, command1, command2;

  void tasto(int16_t codice) override;

 protected:
  void mostrata() override;

 private:
  Form_errore form_;
  std::unique_ptr<VistaTimer> timer1_;
};

}  // namespace borvan::win32

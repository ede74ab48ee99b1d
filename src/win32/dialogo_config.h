#pragma once

#include <windows.h>

#include <string>

#include "config/form_config.h"
#include "win32/modulo.h"

namespace borvan::win32 {

// The configuration dialog "Configurazione" over its core. Esc reaches the core whichever
// control has the focus; Enter presses nothing; closing it any other way is a cancel.
class DialogoConfig : public Modulo {
 public:
  DialogoConfig(Ciclo& ciclo, const std::string& cartella_eseguibile, Operatore& operatore,
                GestoreErrori& errori);
  ~DialogoConfig() override { distruggi(); }

  // Loads the boxes from the file and runs the dialog modally until it is unloaded.
  void esegui();

  Config& form() { return form_; }
  HWND label1, label2, label3, label4, label5, label6;
  HWND text1, text2, text3, text4, text5, text6, check1;
  HWND command1, command2, command3, command4, command5, command6;

  void tasto(int16_t codice) override;

 protected:
  void chiusura() override;

 private:
  Config form_;
};

// The user's decimal separator, as far as the program's own number reading takes it back.
char separatore_decimale_utente();

}  // namespace borvan::win32

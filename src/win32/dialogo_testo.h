#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win32/modulo.h"

namespace borvan::win32 {

// The standard text-input box: a prompt, a box for the answer, OK and Annulla. Enter is OK
// and Esc is Annulla here, as in every input box.
class DialogoTesto : public Modulo {
 public:
  DialogoTesto(Ciclo& ciclo, const std::string& prompt);
  ~DialogoTesto() override { distruggi(); }

  // Runs the box modally: what was typed, or nothing when it was cancelled.
  std::optional<std::string> esegui();

  HWND etichetta, casella, ok, annulla;

  void tasto(int16_t codice) override;

 private:
  void rispondi(bool confermato);

  std::optional<std::string> risposta_;
};

}  // namespace borvan::win32

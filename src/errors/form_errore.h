#pragma once

#include <cstdint>
#include <string>

#include "support/controlli.h"
#include "support/disegno.h"

namespace borvan {

class GestoreErrori;
class Operatore;

// The error dialog "ERRORE": shows the routine's message and answers retry or give up, by
// button, by Enter or Esc, or by itself (retry) when its five-second countdown runs out.
class Form_errore {
 public:
  // The dialog and its controls as drawn, in tab order.
  static const DisegnoModulo disegno;

  Form_errore(const std::string& testo_errore, int32_t& risposta_errore, Operatore& operatore,
              GestoreErrori& errori);

  Window Form;
  TabStrip SSTab1;
  Label Label1;     // the message
  Label Label2;     // the countdown, never shown
  Button Command1;  // "&Riprova"
  Button Command2;  // "&Annulla"
  Timer Timer1;     // countdown tick, every second

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Form_KeyPress(int16_t& KeyAscii);
  void Timer1_Timer();

 private:
  const std::string testo_errore_;  // read once, at load
  int32_t& risposta_errore_;
  Operatore& operatore_;
  GestoreErrori& errori_;
};

}  // namespace borvan

#pragma once

#include <cstdint>
#include <string>

#include "support/controlli.h"
#include "support/disegno.h"

namespace borvan {

class GestoreErrori;
class Operatore;
struct Impostazione;

// The configuration dialog "Configurazione": shows the seven settings of the configuration
// file, writes them back, deletes the file to restore the defaults, or leaves it alone. It
// never touches the main window's values: the main window reads the file after it closes.
class Config {
 public:
  // The dialog and its controls as drawn, in tab order. The boxes stand in one column, and
  // each label, right-aligned, ends next to its box.
  static const DisegnoModulo disegno;
  static constexpr double colonna_caselle = 2520;

  // Fractions are shown and written with `separatore_decimale`, the user's regional one.
  Config(std::string cartella_eseguibile, Operatore& operatore, GestoreErrori& errori,
         char separatore_decimale = '.');

  Window Form;
  Label Label1;     // "File input comandi :"
  Label Label2;     // "File dove salvare codici di ritorno :"
  Label Label3;     // "Porta logica WinEcrCom :"
  Label Label4;     // "File log :"
  Label Label5;     // "Tempo polling file comandi (ms) :"
  Label Label6;     // "Tempo di timeout (sec) :"
  TextBox Text1;    // INPUT_FILE
  TextBox Text2;    // RESULT_FILE
  TextBox Text3;    // WINECRCOM_PORT
  TextBox Text4;    // LOG_FILE
  TextBox Text5;    // POLLING_TIME
  TextBox Text6;    // TIMEOUT
  CheckBox Check1;  // SHOW_ERRORS: "Messaggio a schermo su errore"
  Button Command1;  // "..." for Text1
  Button Command2;  // "..." for Text2
  Button Command3;  // "..." for Text4
  Button Command4;  // "OK"
  Button Command5;  // "Annulla (ESC)"
  Button Command6;  // "Default"

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Form_KeyPress(int16_t& KeyAscii);

 private:
  TextBox* casella_di(const Impostazione& impostazione);
  void mostra(const Impostazione& impostazione, const std::string& valore);
  void sfoglia(TextBox& casella);
  std::string numero(const std::string& testo);
  std::string contenuto_file();

  std::string cartella_eseguibile_;
  Operatore& operatore_;
  GestoreErrori& errori_;
  char separatore_decimale_;
};

}  // namespace borvan

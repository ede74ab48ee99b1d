#include "win32/dialogo_config.h"

#include "support/nome_programma.h"
#include "win32/disegno.h"
#include "win32/protetto.h"
#include "win32/viste.h"

namespace borvan::win32 {

char separatore_decimale_utente() {
  // Any other separator would be read back by the main window as the end of the number.
  char punto[4] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, punto, sizeof punto);
  return punto[0] == ',' ? ',' : '.';
}

DialogoConfig::DialogoConfig(Ciclo& ciclo, const std::string& cartella_eseguibile,
                             Operatore& operatore, GestoreErrori& errori)
    : Modulo(ciclo), form_(cartella_eseguibile, operatore, errori, separatore_decimale_utente()) {
  const DisegnoModulo& disegno = Config::disegno;
  crea(con_nome_programma<"_Config">, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW,
       disegno.larghezza, disegno.altezza, disegno.carattere);
  const Controlli controlli = crea_controlli(*this, disegno);
  // A label ends next to its box: where the system's font is wider than the forms' one, its
  // caption takes the two pixels before the box rather than wrap.
  for (const DisegnoControllo& riga : disegno.controlli) {
    if (riga.genere != Genere::etichetta) continue;
    const Posto dove = posto(riga.posto);
    SetWindowPos(controlli.at(riga.nome), nullptr, 0, 0,
                 pixel(Config::colonna_caselle) - 1 - dove.x, dove.altezza,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  label1 = controlli.at("Label1");
  label2 = controlli.at("Label2");
  label3 = controlli.at("Label3");
  label4 = controlli.at("Label4");
  label5 = controlli.at("Label5");
  label6 = controlli.at("Label6");
  text1 = controlli.at("Text1");
  text2 = controlli.at("Text2");
  text3 = controlli.at("Text3");
  text4 = controlli.at("Text4");
  text5 = controlli.at("Text5");
  text6 = controlli.at("Text6");
  check1 = controlli.at("Check1");
  command1 = controlli.at("Command1");
  command2 = controlli.at("Command2");
  command3 = controlli.at("Command3");
  command4 = controlli.at("Command4");
  command5 = controlli.at("Command5");
  command6 = controlli.at("Command6");

  collega(form_.Label1, label1, *this);
  collega(form_.Label2, label2, *this);
  collega(form_.Label3, label3, *this);
  collega(form_.Label4, label4, *this);
  collega(form_.Label5, label5, *this);
  collega(form_.Label6, label6, *this);
  collega(form_.Text1, text1, *this);
  collega(form_.Text2, text2, *this);
  collega(form_.Text3, text3, *this);
  collega(form_.Text4, text4, *this);
  collega(form_.Text5, text5, *this);
  collega(form_.Text6, text6, *this);
  collega(form_.Check1, check1, *this);
  collega(form_.Command1, command1, *this, [this] { form_.Command1_Click(); });
  collega(form_.Command2, command2, *this, [this] { form_.Command2_Click(); });
  collega(form_.Command3, command3, *this, [this] { form_.Command3_Click(); });
  collega(form_.Command4, command4, *this, [this] { form_.Command4_Click(); });
  collega(form_.Command5, command5, *this, [this] { form_.Command5_Click(); });
  collega(form_.Command6, command6, *this, [this] { form_.Command6_Click(); });
  collega(form_.Form, *this, [this] { chiudi(); });
}

void DialogoConfig::esegui() {
  protetto(ciclo(), [this] { form_.Form_Load(); });
  if (!form_.Form.scaricata()) esegui_modale();
}

void DialogoConfig::tasto(int16_t codice) {
  // Esc cancels; Enter presses no button.
  if (codice == 27) form_.Form_KeyPress(codice);
}

void DialogoConfig::chiusura() {
  form_.Command5_Click();
  chiudi();
}

}  // namespace borvan::win32

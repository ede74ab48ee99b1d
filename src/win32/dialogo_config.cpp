#include "win32/dialogo_config.h"

#include "support/nome_programma.h"
#include "win32/pulsante_grafico.h"
#include "win32/viste.h"

namespace borvan::win32 {

char separatore_decimale_utente() {
  // Any other separator would be read back by the main window as the end of the number.
  char punto[4] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, punto, sizeof punto);
  return punto[0] == ',' ? ',' : '.';
}

DialogoConfig::DialogoConfig(const std::string& cartella_eseguibile, Operatore& operatore,
                             GestoreErrori& errori)
    : form_(cartella_eseguibile, operatore, errori, separatore_decimale_utente()) {
  crea(con_nome_programma<"_Config">, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW,
       Config::larghezza_twips, Config::altezza_twips, carattere_moduli());

  // A label ends next to its box: where the system's font is wider than the forms' one, its
  // caption takes the two pixels before the box rather than wrap.
  auto etichetta = [this](Posto dove) {
    dove.larghezza = pixel(2520) - 1 - dove.x;
    return controllo("STATIC", "", WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, dove);
  };
  auto casella = [this](Posto dove) {
    return controllo("EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, dove, WS_EX_CLIENTEDGE);
  };
  auto pulsante = [this](Posto dove) {
    return controllo("BUTTON", "", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, dove);
  };

  // Created in tab order.
  label1 = etichetta(posto(90, 420, 2385, 285));
  text1 = casella(posto(2520, 390, 4485, 285));
  command1 = pulsante(posto(7050, 390, 375, 285));
  label2 = etichetta(posto(30, 1410, 2445, 285));
  text2 = casella(posto(2520, 1380, 4485, 285));
  command2 = pulsante(posto(7050, 1380, 375, 285));
  label3 = etichetta(posto(90, 90, 2385, 285));
  text3 = casella(posto(2520, 60, 795, 285));
  check1 = controllo("BUTTON", "Messaggio a schermo su errore",
                     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, posto(2520, 1740, 4275, 255));
  label4 = etichetta(posto(30, 2100, 2445, 285));
  text4 = casella(posto(2520, 2070, 4485, 285));
  command3 = pulsante(posto(7050, 2070, 375, 285));
  label5 = etichetta(posto(90, 750, 2385, 285));
  text5 = casella(posto(2520, 720, 1125, 285));
  label6 = etichetta(posto(90, 1080, 2385, 285));
  text6 = casella(posto(2520, 1050, 1125, 285));
  const COLORREF faccia = GetSysColor(COLOR_BTNFACE);
  command4 = pulsante_grafico(*this, "", posto(7590, 60, 1095, 855), faccia, Figura::conferma);
  command5 = pulsante_grafico(*this, "", posto(7590, 1410, 1095, 945), faccia, Figura::annulla);
  command6 = pulsante(posto(7590, 990, 1095, 375));

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
  protetto([this] { form_.Form_Load(); });
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

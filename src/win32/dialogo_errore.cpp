#include "win32/dialogo_errore.h"

#include "support/nome_programma.h"
#include "win32/disegno.h"
#include "win32/protetto.h"

namespace borvan::win32 {

DialogoErrore::DialogoErrore(Ciclo& ciclo, const std::string& testo_errore,
                             int32_t& risposta_errore, Operatore& operatore, GestoreErrori& errori)
    : Modulo(ciclo), form_(testo_errore, risposta_errore, operatore, errori) {
  const DisegnoModulo& disegno = Form_errore::disegno;
  crea(con_nome_programma<"_Errore">, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
       disegno.larghezza, disegno.altezza, disegno.carattere);
  const Controlli controlli = crea_controlli(*this, disegno);
  sstab1 = controlli.at("SSTab1");
  picture1 = controlli.at("Picture1");
  label1 = controlli.at("Label1");
  label2 = controlli.at("Label2");
  command1 = controlli.at("Command1");
  command2 = controlli.at("Command2");

  collega(form_.Label1, label1, *this);
  collega(form_.Label2, label2, *this);
  collega(form_.Command1, command1, *this, [this] { form_.Command1_Click(); });
  collega(form_.Command2, command2, *this, [this] { form_.Command2_Click(); });
  collega(form_.SSTab1, sstab1, *this, [this](int scheda) {
    for (HWND c : {picture1, label1, command1, command2})
      ShowWindow(c, scheda == 0 ? SW_SHOW : SW_HIDE);
  });
  timer1_ = std::make_unique<VistaTimer>(form_.Timer1, *this, [this] { form_.Timer1_Timer(); });
  collega(form_.Form, *this, [this] { chiudi(); });
}

void DialogoErrore::esegui() {
  protetto(ciclo(), [this] { form_.Form_Load(); });
  if (!form_.Form.scaricata()) esegui_modale();
}

// The program runs behind the point-of-sale program: its question stays above every window, and
// its taskbar button flashes until the operator turns to it, should the system have kept the
// foreground from it.
void DialogoErrore::mostrata() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FLASHWINFO lampeggio{};
  lampeggio.cbSize = sizeof lampeggio;
  lampeggio.hwnd = hwnd();
  lampeggio.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
  FlashWindowEx(&lampeggio);
}

void DialogoErrore::tasto(int16_t codice) {
  form_.Form_KeyPress(codice);
}

}  // namespace borvan::win32

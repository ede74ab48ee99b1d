#include "win32/finestra_principale.h"

#include "win32/ciclo.h"

namespace borvan::win32 {

FinestraPrincipale::FinestraPrincipale(Principale& principale)
    : principale_(principale), termina_(RegisterWindowMessageA(messaggio_termina)) {
  crea(classe_principale, "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
       Principale::larghezza_twips, Principale::altezza_twips, carattere_moduli());

  // Created in tab order: the first row of buttons, the labels, the list, the second row.
  const DWORD pulsante = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  command1 = controllo("BUTTON", "", pulsante, posto(120, 2580, 2025, 435));
  command2 = controllo("BUTTON", "", pulsante, posto(2220, 2580, 2085, 435));
  label1 = controllo("STATIC", "", WS_VISIBLE | SS_NOPREFIX, posto(2220, 210, 2085, 345));
  SendMessageA(label1, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_moduli(9.75)), FALSE);
  label2 = controllo("STATIC", "", WS_VISIBLE | SS_NOPREFIX, posto(120, 300, 2025, 225));
  list2 = controllo("LISTBOX", "",
                    WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                    posto(120, 630, 4185, 1815), WS_EX_CLIENTEDGE);
  command3 = controllo("BUTTON", "", pulsante, posto(120, 3090, 2025, 435));
  command4 = controllo("BUTTON", "", pulsante, posto(2220, 3090, 2085, 435));
  coecrcom1 = controllo("STATIC", "", 0, posto(0, 0, 480, 480));

  collega(principale.Label1, label1, *this);
  collega(principale.Label2, label2, *this);
  vista_lista_ = std::make_unique<VistaLista>(principale.List2, list2, *this);
  collega(principale.Command1, command1, *this, [&principale] { principale.Command1_Click(); });
  collega(principale.Command2, command2, *this, [&principale] { principale.Command2_Click(); });
  collega(principale.Command3, command3, *this, [&principale] { principale.Command3_Click(); });
  collega(principale.Command4, command4, *this, [&principale] { principale.Command4_Click(); });
  timer1_ = std::make_unique<VistaTimer>(principale.Timer1, *this,
                                         [&principale] { principale.Timer1_Timer(); });
  timer2_ = std::make_unique<VistaTimer>(principale.Timer2, *this,
                                         [&principale] { principale.Timer2_Timer(); });
  timer3_ = std::make_unique<VistaTimer>(principale.Timer3, *this,
                                         [&principale] { principale.Timer3_Timer(); });
  sorveglianza_ = std::make_unique<VistaSorveglianza>(
      principale.sorveglianza, *this, [&principale] { principale.cartella_cambiata(); });
  collega(principale.Form, *this, [] {});
  principale.CoEcrCom1.imposta_ciclo_eventi(
      [](int32_t millisecondi) { elabora_messaggi(std::chrono::milliseconds(millisecondi)); });
}

void FinestraPrincipale::chiusura() {
  principale_.Command3_Click();
}

bool FinestraPrincipale::messaggio(UINT msg, WPARAM wp, LPARAM, LRESULT& risultato) {
  // The end of the program asked from outside (the installer), or the end of the session: at
  // once, unless a register call is in progress (its control delivered this message), and then
  // the moment it returns. Windows may end the process any time after WM_ENDSESSION returns,
  // so nothing is left for later that a call does not hold back.
  if (msg == termina_) {
    principale_.termina_programma();
    risultato = 0;
    return true;
  }
  if (msg == WM_QUERYENDSESSION) {
    risultato = TRUE;
    return true;
  }
  if (msg == WM_ENDSESSION) {
    if (wp != FALSE) principale_.termina_programma();
    risultato = 0;
    return true;
  }
  return false;
}

}  // namespace borvan::win32

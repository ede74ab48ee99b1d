#include "win32/finestra_principale.h"

#include "win32/disegno.h"

namespace borvan::win32 {

FinestraPrincipale::FinestraPrincipale(Ciclo& ciclo, Principale& principale)
    : Modulo(ciclo), principale_(principale), termina_(RegisterWindowMessageA(messaggio_termina)) {
  const DisegnoModulo& disegno = Principale::disegno;
  crea(classe_principale, "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
       disegno.larghezza, disegno.altezza, disegno.carattere);
  const Controlli controlli = crea_controlli(*this, disegno);
  label1 = controlli.at("Label1");
  label2 = controlli.at("Label2");
  list2 = controlli.at("List2");
  command1 = controlli.at("Command1");
  command2 = controlli.at("Command2");
  command3 = controlli.at("Command3");
  command4 = controlli.at("Command4");
  coecrcom1 = controlli.at("CoEcrCom1");
  // Run elevated, the window would drop the installer's request to end as coming from a lower
  // integrity level; that one message is let through.
  ChangeWindowMessageFilterEx(hwnd(), termina_, MSGFLT_ALLOW, nullptr);

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
  guardia_ = std::make_unique<VistaTimer>(principale.guardia, *this,
                                          [&principale] { principale.guardia_Timer(); });
  sorveglianza_ = std::make_unique<VistaSorveglianza>(
      principale.sorveglianza, *this, [&principale] { principale.cartella_cambiata(); });
  collega(principale.Form, *this, [] {});
  principale.CoEcrCom1.imposta_ciclo_eventi([&ciclo](int32_t millisecondi) {
    ciclo.elabora_messaggi(std::chrono::milliseconds(millisecondi));
  });
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
    // The installer waits for the process to end, not for letting the control go.
    ReplyMessage(0);
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

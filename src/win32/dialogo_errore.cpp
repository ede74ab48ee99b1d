#include "win32/dialogo_errore.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "support/nome_programma.h"
#include "win32/pulsante_grafico.h"

namespace borvan::win32 {

DialogoErrore::DialogoErrore(const std::string& testo_errore, int32_t& risposta_errore,
                             Operatore& operatore, GestoreErrori& errori)
    : form_(testo_errore, risposta_errore, operatore, errori) {
  crea(con_nome_programma<"_Errore">, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
       Form_errore::larghezza_twips, Form_errore::altezza_twips, carattere_moduli(8.25, true));

  // The first tab's controls stand on the window, above the tab control, which is created last
  // so that it lies beneath them and does not paint over them.
  picture1 = controllo("STATIC", "", WS_VISIBLE | SS_SUNKEN, posto(120, 810, 1515, 1485));
  label1 = controllo("STATIC", "", WS_VISIBLE | SS_NOPREFIX, posto(1770, 420, 5295, 1275));
  command1 = pulsante_grafico(*this, "", posto(1770, 1770, 2685, 1155), RGB(0, 255, 0));
  command2 = pulsante_grafico(*this, "", posto(4530, 1770, 2535, 1155), RGB(255, 128, 0));
  for (HWND p : {command1, command2})
    SendMessageA(p, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_moduli(9.75, true)), FALSE);
  label2 = controllo("STATIC", "", SS_NOPREFIX, posto(300, 2730, 255, 315));
  SendMessageA(label2, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_moduli(13.5, true)), FALSE);
  RECT area{};
  GetClientRect(hwnd(), &area);
  sstab1 = controllo(WC_TABCONTROLA, "", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                     Posto{0, 0, area.right, area.bottom});
  for (const char* titolo : {"Descrizione errore", "Dettagli"}) {
    TCITEMA scheda{};
    scheda.mask = TCIF_TEXT;
    scheda.pszText = const_cast<char*>(titolo);
    const auto dopo = SendMessageA(sstab1, TCM_GETITEMCOUNT, 0, 0);
    SendMessageA(sstab1, TCM_INSERTITEMA, static_cast<WPARAM>(dopo),
                 reinterpret_cast<LPARAM>(&scheda));
  }
  // Drawn the classic way, its page in the window's own colour, as the labels on it are.
  SetWindowTheme(sstab1, L" ", L" ");
  SetWindowPos(sstab1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

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
  protetto([this] { form_.Form_Load(); });
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

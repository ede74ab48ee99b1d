#include "win32/disegno.h"

#include <commctrl.h>

#include "win32/librerie.h"
#include "win32/pulsante_grafico.h"

namespace borvan::win32 {

namespace {

// Drawn the classic way, its page in the window's own colour, as the labels on it are. The
// themes' DLL is not imported: it is no DLL the loader takes from System32 before the
// program's own folder.
void senza_tema(HWND finestra) {
  static const auto imposta = funzione<HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR)>(
      libreria_di_sistema(L"uxtheme.dll"), "SetWindowTheme");
  if (imposta != nullptr) imposta(finestra, L" ", L" ");
}

HWND crea_schede(Modulo& modulo, const DisegnoControllo& disegno, DWORD visibile) {
  HWND schede = modulo.controllo(WC_TABCONTROLA, "", visibile | WS_TABSTOP | WS_CLIPSIBLINGS,
                                 posto(disegno.posto));
  for (const char* titolo : disegno.schede) {
    TCITEMA scheda{};
    scheda.mask = TCIF_TEXT;
    scheda.pszText = const_cast<char*>(titolo);
    const auto dopo = SendMessageA(schede, TCM_GETITEMCOUNT, 0, 0);
    SendMessageA(schede, TCM_INSERTITEMA, static_cast<WPARAM>(dopo),
                 reinterpret_cast<LPARAM>(&scheda));
  }
  senza_tema(schede);
  return schede;
}

HWND crea(Modulo& modulo, const DisegnoControllo& disegno) {
  const DWORD visibile = disegno.visibile ? WS_VISIBLE : 0;
  const Posto dove = posto(disegno.posto);
  switch (disegno.genere) {
    case Genere::etichetta: {
      const DWORD allineamento = disegno.allineamento == Allineamento::destra ? SS_RIGHT : SS_LEFT;
      return modulo.controllo("STATIC", disegno.caption, visibile | allineamento | SS_NOPREFIX,
                              dove);
    }
    case Genere::lista:
      return modulo.controllo(
          "LISTBOX", "", visibile | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
          dove, WS_EX_CLIENTEDGE);
    case Genere::pulsante:
      if (disegno.grafico()) return pulsante_grafico(modulo, disegno);
      return modulo.controllo("BUTTON", disegno.caption, visibile | WS_TABSTOP | BS_PUSHBUTTON,
                              dove);
    case Genere::casella:
      return modulo.controllo("EDIT", "", visibile | WS_TABSTOP | ES_AUTOHSCROLL, dove,
                              WS_EX_CLIENTEDGE);
    case Genere::spunta:
      return modulo.controllo("BUTTON", disegno.caption, visibile | WS_TABSTOP | BS_AUTOCHECKBOX,
                              dove);
    case Genere::schede:
      return crea_schede(modulo, disegno, visibile);
    case Genere::riquadro:
      return modulo.controllo("STATIC", "", visibile | SS_SUNKEN, dove);
    case Genere::registratore:
      // A place that a control visible at run time can be activated into, never shown.
      return modulo.controllo("STATIC", "", 0, dove);
  }
  return nullptr;
}

}  // namespace

Controlli crea_controlli(Modulo& modulo, const DisegnoModulo& disegno) {
  Controlli controlli;
  for (const DisegnoControllo& riga : disegno.controlli) {
    HWND creato = crea(modulo, riga);
    if (riga.carattere)
      SendMessageA(creato, WM_SETFONT,
                   reinterpret_cast<WPARAM>(modulo.ciclo().carattere(*riga.carattere)), FALSE);
    controlli.emplace(riga.nome, creato);
  }
  // A tab strip lies beneath the controls that stand on its page, so that it does not paint
  // over them (and, the tab order following the stacking, it comes last).
  for (const DisegnoControllo& riga : disegno.controlli)
    if (riga.genere == Genere::schede)
      SetWindowPos(controlli.at(riga.nome), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return controlli;
}

}  // namespace borvan::win32

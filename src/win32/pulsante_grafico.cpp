#include "win32/pulsante_grafico.h"

#include <string>

namespace borvan::win32 {

namespace {

// A tick or a cross, `lato` pixels square, in a pen two pixels wide.
void disegna_figura(HDC dc, Figura figura, RECT dove) {
  const bool conferma = figura == Figura::conferma;
  HPEN penna = CreatePen(PS_SOLID, 3, conferma ? RGB(0, 128, 0) : RGB(192, 0, 0));
  HGDIOBJ prima = SelectObject(dc, penna);
  const int l = dove.left, t = dove.top, w = dove.right - dove.left, h = dove.bottom - dove.top;
  if (conferma) {
    MoveToEx(dc, l + w / 6, t + h / 2, nullptr);
    LineTo(dc, l + w * 5 / 12, t + h * 3 / 4);
    LineTo(dc, l + w * 5 / 6, t + h / 4);
  } else {
    MoveToEx(dc, l + w / 4, t + h / 4, nullptr);
    LineTo(dc, l + w * 3 / 4, t + h * 3 / 4);
    MoveToEx(dc, l + w * 3 / 4, t + h / 4, nullptr);
    LineTo(dc, l + w / 4, t + h * 3 / 4);
  }
  SelectObject(dc, prima);
  DeleteObject(penna);
}

void disegna(const DRAWITEMSTRUCT& d, COLORREF sfondo, Figura figura) {
  HDC dc = d.hDC;
  RECT area = d.rcItem;
  HBRUSH pennello = CreateSolidBrush(sfondo);
  FillRect(dc, &area, pennello);
  DeleteObject(pennello);
  const bool premuto = (d.itemState & ODS_SELECTED) != 0;
  DrawEdge(dc, &area, premuto ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (premuto) OffsetRect(&area, 1, 1);

  std::string testo(static_cast<size_t>(GetWindowTextLengthA(d.hwndItem)) + 1, '\0');
  testo.resize(static_cast<size_t>(
      GetWindowTextA(d.hwndItem, testo.data(), static_cast<int>(testo.size()))));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor((d.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  RECT misura = area;
  DrawTextA(dc, testo.c_str(), -1, &misura, DT_CALCRECT | DT_SINGLELINE);
  const int altezza_testo = misura.bottom - misura.top;
  const int lato = figura == Figura::nessuna ? 0 : pixel(lato_figura);
  const int top = area.top + (area.bottom - area.top - lato - altezza_testo) / 2;
  if (figura != Figura::nessuna) {
    const int left = area.left + (area.right - area.left - lato) / 2;
    disegna_figura(dc, figura, RECT{left, top, left + lato, top + lato});
  }
  RECT dove_testo{area.left, top + lato, area.right, top + lato + altezza_testo};
  DrawTextA(dc, testo.c_str(), -1, &dove_testo, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  if (d.itemState & ODS_FOCUS) {
    RECT fuoco = d.rcItem;
    InflateRect(&fuoco, -4, -4);
    DrawFocusRect(dc, &fuoco);
  }
}

}  // namespace

HWND pulsante_grafico(Modulo& modulo, const DisegnoControllo& disegno) {
  const DWORD visibile = disegno.visibile ? WS_VISIBLE : 0;
  HWND pulsante = modulo.controllo("BUTTON", disegno.caption, visibile | WS_TABSTOP | BS_OWNERDRAW,
                                   posto(disegno.posto));
  const COLORREF sfondo =
      disegno.sfondo ? RGB(disegno.sfondo->rosso, disegno.sfondo->verde, disegno.sfondo->blu)
                     : GetSysColor(COLOR_BTNFACE);
  modulo.al_disegno(pulsante, [sfondo, figura = disegno.figura](const DRAWITEMSTRUCT& d) {
    disegna(d, sfondo, figura);
  });
  return pulsante;
}

}  // namespace borvan::win32

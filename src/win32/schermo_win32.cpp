#include "win32/schermo_win32.h"

#include <cmath>

namespace borvan::win32 {

namespace {

int CALLBACK trovato(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM esito) {
  *reinterpret_cast<bool*>(esito) = true;
  return 0;
}

bool esiste_carattere(const char* nome) {
  LOGFONTA cerca{};
  cerca.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(cerca.lfFaceName, nome, LF_FACESIZE);
  bool esito = false;
  HDC schermo = GetDC(nullptr);
  EnumFontFamiliesExA(schermo, &cerca, trovato, reinterpret_cast<LPARAM>(&esito), 0);
  ReleaseDC(nullptr, schermo);
  return esito;
}

const char* famiglia_moduli() {
  static const char* const famiglia = [] {
    for (const char* nome : {"Microsoft Sans Serif", "MS Sans Serif", "Tahoma", "Arial"})
      if (esiste_carattere(nome)) return nome;
    return "MS Shell Dlg";
  }();
  return famiglia;
}

}  // namespace

int punti_per_pollice() {
  static const int dpi = [] {
    HDC schermo = GetDC(nullptr);
    const int valore = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);
    return valore > 0 ? valore : 96;
  }();
  return dpi;
}

int pixel(double twips) {
  return static_cast<int>(std::lround(twips * punti_per_pollice() / 1440.0));
}

double twips(int pixel) {
  return pixel * 1440.0 / punti_per_pollice();
}

Posto posto(const Rettangolo& twips) {
  return {pixel(twips.left), pixel(twips.top), pixel(twips.width), pixel(twips.height)};
}

Caratteri::~Caratteri() {
  for (const auto& fatto : fatti_) DeleteObject(fatto.second);
}

HFONT Caratteri::carattere(const Carattere& disegno) {
  HFONT& carattere = fatti_[{disegno.punti, disegno.grassetto}];
  if (carattere == nullptr) {
    LOGFONTA descrizione{};
    descrizione.lfHeight =
        -static_cast<LONG>(std::lround(disegno.punti * punti_per_pollice() / 72.0));
    descrizione.lfWeight = disegno.grassetto ? FW_BOLD : FW_NORMAL;
    descrizione.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(descrizione.lfFaceName, famiglia_moduli(), LF_FACESIZE);
    carattere = CreateFontIndirectA(&descrizione);
  }
  return carattere;
}

}  // namespace borvan::win32

#include "win32/dialogo_testo.h"

#include "support/nome_programma.h"
#include "support/operatore.h"

namespace borvan::win32 {

DialogoTesto::DialogoTesto(Ciclo& ciclo, const std::string& prompt) : Modulo(ciclo) {
  crea(con_nome_programma<"_Testo">, nome_programma, WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_EX_DLGMODALFRAME, 6210, 2220);
  etichetta =
      controllo("STATIC", prompt.c_str(), WS_VISIBLE | SS_NOPREFIX, posto({120, 120, 4815, 1380}));
  casella = controllo("EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                      posto({120, 1680, 5970, 330}), WS_EX_CLIENTEDGE);
  ok = controllo("BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                 posto({5070, 120, 1020, 345}));
  annulla = controllo("BUTTON", "Annulla", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                      posto({5070, 555, 1020, 345}));
  al_comando(ok, [this](WORD codice) {
    if (codice == BN_CLICKED) rispondi(true);
  });
  al_comando(annulla, [this](WORD codice) {
    if (codice == BN_CLICKED) rispondi(false);
  });
}

std::optional<std::string> DialogoTesto::esegui() {
  esegui_modale();
  return risposta_;
}

void DialogoTesto::tasto(int16_t codice) {
  rispondi(codice == 13);
}

void DialogoTesto::rispondi(bool confermato) {
  if (confermato) {
    std::string testo(static_cast<size_t>(GetWindowTextLengthA(casella)) + 1, '\0');
    testo.resize(
        static_cast<size_t>(GetWindowTextA(casella, testo.data(), static_cast<int>(testo.size()))));
    risposta_ = testo;
  }
  chiudi();
}

}  // namespace borvan::win32

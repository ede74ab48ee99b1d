#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/principale.h"
#include "config/configurazione.h"
#include "ecr/driver_predefinito.h"
#include "ecr/registratore_simulato.h"
#include "errors/errori_comuni.h"
#include "win32/ambiente_win32.h"
#include "win32/ciclo.h"
#include "win32/dialogo_config.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"

namespace {

// "--simulatore": the simulated register, whatever driver the system has.
bool con_simulatore() {
  for (int i = 1; i < __argc; ++i)
    if (lstrcmpiA(__argv[i], "--simulatore") == 0) return true;
  return false;
}

// Every file of the program lives in its folder and is reached by names in the ANSI code page:
// a folder that code page cannot spell would fail every job, so the program says so and ends.
void cartella_non_utilizzabile() {
  const std::wstring testo =
      L"BorvanIF non puo' funzionare nella cartella\n" +
      borvan::win32::AmbienteWin32::cartella_eseguibile_unicode() +
      L"\n\nIl suo nome contiene caratteri che la code page del sistema non sa scrivere, e "
      L"nessun file vi sarebbe trovato. Installare BorvanIF in un'altra cartella, per esempio "
      L"C:\\BorvanIF.";
  MessageBoxW(nullptr, testo.c_str(), L"BorvanIF",
              MB_OK | MB_ICONSTOP | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controlli{};
  controlli.dwSize = sizeof controlli;
  controlli.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controlli);

  const std::optional<std::string> ansi = borvan::win32::AmbienteWin32::cartella_eseguibile();
  if (!ansi) {
    cartella_non_utilizzabile();
    return 1;
  }
  const std::string cartella = *ansi;
  const std::string applicazione = borvan::cartella_applicazione(cartella);

  borvan::win32::OperatoreWin32 operatore;
  borvan::ErroriComuni errori(operatore);
  operatore.imposta_errori(errori);
  borvan::win32::AmbienteWin32 ambiente(cartella);

  std::unique_ptr<borvan::DriverEcr> driver =
      con_simulatore() ? std::make_unique<borvan::RegistratoreSimulato>(applicazione)
                       : borvan::crea_driver_predefinito(applicazione);
  borvan::Principale principale(cartella, std::move(driver), operatore, errori, ambiente);
  borvan::win32::FinestraPrincipale finestra(principale);
  ambiente.imposta_configurazione([&] {
    borvan::win32::DialogoConfig dialogo(cartella, operatore, errori);
    dialogo.esegui();
  });

  if (!principale.Form_Load()) return 0;
  ShowWindow(finestra.hwnd(), SW_SHOWNORMAL);
  UpdateWindow(finestra.hwnd());
  return borvan::win32::ciclo_principale([&] { ambiente.termina(); });
}

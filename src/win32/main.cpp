#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controlli{};
  controlli.dwSize = sizeof controlli;
  controlli.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controlli);

  const std::string cartella = borvan::win32::AmbienteWin32::cartella_eseguibile();
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
  return borvan::win32::ciclo_principale();
}

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/principale.h"
#include "automazione/driver_com.h"
#include "config/configurazione.h"
#include "ecr/driver_assente.h"
#include "ecr/registratore_simulato.h"
#include "errors/errori_comuni.h"
#include "support/nome_programma.h"
#include "win32/ambiente_win32.h"
#include "win32/ciclo.h"
#include "win32/dialogo_config.h"
#include "win32/finestra_principale.h"
#include "win32/modulo.h"
#include "win32/operatore_win32.h"
#include "win32/rapporto_arresto.h"

namespace {

// "--simulatore": the simulated register, whatever driver the system has.
bool con_simulatore() {
  for (int i = 1; i < __argc; ++i)
    if (lstrcmpiA(__argv[i], "--simulatore") == 0) return true;
  return false;
}

// What the process needs before any window: a line the register takes seconds to accept must
// not get the window marked "not responding" with an offer to end the program; and data
// execution prevention, asked for here rather than by the image's NX-compatible mark, which
// would also switch off the emulation of the thunks that old ATL controls write on their data
// pages. A 64-bit process always has DEP, and no such thunks.
void prepara_processo() {
  DisableProcessWindowsGhosting();
#ifndef _WIN64
  SetProcessDEPPolicy(PROCESS_DEP_ENABLE);
#endif
}

// Every file of the program lives in its folder and is reached by names in the ANSI code page:
// a folder that code page cannot spell would fail every job, so the program says so and ends.
void cartella_non_utilizzabile() {
  const std::string_view ansi = borvan::nome_programma;
  const std::wstring nome(ansi.begin(), ansi.end());
  const std::wstring testo =
      nome + L" non puo' funzionare nella cartella\n" +
      borvan::win32::AmbienteWin32::cartella_eseguibile_unicode() +
      L"\n\nIl suo nome contiene caratteri che la code page del sistema non sa scrivere, e "
      L"nessun file vi sarebbe trovato. Installare " +
      nome + L" in un'altra cartella, per esempio C:\\" + nome + L".";
  MessageBoxW(nullptr, testo.c_str(), nome.c_str(),
              MB_OK | MB_ICONSTOP | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  prepara_processo();
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

  // The register's control lives in a hidden child of the main window, which exists only
  // after the core that owns the driver: it is created once the window is there, and again at
  // each job while it cannot be.
  HWND posto_controllo = nullptr;
  borvan::DriverRiprova* registratore = nullptr;
  std::unique_ptr<borvan::DriverEcr> driver;
  if (con_simulatore()) {
    driver = std::make_unique<borvan::RegistratoreSimulato>(applicazione);
  } else {
    auto com = std::make_unique<borvan::DriverRiprova>([&posto_controllo] {
      return borvan::DriverCom::crea(borvan::progid_registratore, posto_controllo);
    });
    registratore = com.get();
    driver = std::move(com);
  }
  borvan::Principale principale(cartella, std::move(driver), operatore, errori, ambiente);
  // A crash from here on, the register's control's included, leaves a report beside the
  // program and a line in the log in force.
  borvan::win32::arma_rapporto_arresto(applicazione,
                                       [&principale] { return principale.config.file_log; });
  borvan::win32::FinestraPrincipale finestra(principale);
  posto_controllo = finestra.coecrcom1;
  ambiente.imposta_configurazione([&] {
    borvan::win32::DialogoConfig dialogo(cartella, operatore, errori);
    dialogo.esegui();
  });
  // The control goes before the window it lives in, and nothing of the core runs meanwhile.
  const auto rilascia_controllo = [registratore] {
    borvan::win32::ferma_gestori();
    if (registratore != nullptr) registratore->rilascia();
  };
  ambiente.imposta_fine(rilascia_controllo);

  if (!principale.Form_Load()) return 0;
  // Created once this is the only instance: a second start never touches the register.
  if (registratore != nullptr) registratore->prepara();
  ShowWindow(finestra.hwnd(), SW_SHOWNORMAL);
  UpdateWindow(finestra.hwnd());
  const int uscita = borvan::win32::ciclo_principale();
  rilascia_controllo();
  return uscita;
}

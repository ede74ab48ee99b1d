#include "win32/programma.h"

#include <commctrl.h>

#include "automazione/driver_com.h"
#include "ecr/driver_assente.h"
#include "win32/dialogo_config.h"
#include "win32/librerie.h"

namespace borvan::win32 {

// The common controls by name, so that the manifest's version is the one loaded, and after
// the start-up has confined the search for the DLLs they need to System32: imported, they
// would be loaded with the program, their DLLs looked for beside it first.
void prepara_applicazione() {
  const auto inizializza = funzione<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controlli{};
  controlli.dwSize = sizeof controlli;
  controlli.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  if (inizializza != nullptr) inizializza(&controlli);
}

Programma::Programma(const std::string& cartella, std::unique_ptr<DriverEcr> driver)
    : cartella_eseguibile_(cartella),
      ole_(SUCCEEDED(OleInitialize(nullptr))),
      operatore_(ciclo_),
      errori_(operatore_),
      ambiente_(cartella),
      principale_(cartella, driver ? std::move(driver) : driver_del_registratore(), operatore_,
                  errori_, ambiente_),
      finestra_(ciclo_, principale_) {
  ambiente_.imposta_configurazione([this] {
    DialogoConfig dialogo(ciclo_, cartella_eseguibile_, operatore_, errori_);
    dialogo.esegui();
  });
  // A control whose call never returned is not let go under it: the wait would only delay
  // the end the operator asked for.
  ambiente_.imposta_fine([this] {
    if (!principale_.chiamata_in_corso()) rilascia_controllo();
  });
}

Programma::~Programma() {
  rilascia_controllo();
  if (ole_) OleUninitialize();
}

// The control is created in the main window's hidden child, which exists only after the core
// that owns the driver: once the window is there, and again at each job while it cannot be;
// each time with the libraries beside it where it is registered now.
std::unique_ptr<DriverEcr> Programma::driver_del_registratore() {
  auto driver = std::make_unique<DriverRiprova>([this] {
    librerie_del_controllo(progid_registratore);
    return DriverCom::crea(progid_registratore, finestra_.coecrcom1);
  });
  registratore_ = driver.get();
  return driver;
}

bool Programma::avvia() {
  if (!principale_.Form_Load()) return false;
  if (registratore_ != nullptr) registratore_->prepara();
  ShowWindow(finestra_.hwnd(), SW_SHOWNORMAL);
  UpdateWindow(finestra_.hwnd());
  return true;
}

int Programma::esegui() {
  const int uscita = ciclo_.principale();
  rilascia_controllo();
  return uscita;
}

// The control goes before the window it lives in, and nothing of the core runs meanwhile.
void Programma::rilascia_controllo() {
  ciclo_.ferma_gestori();
  if (registratore_ != nullptr) registratore_->rilascia();
}

}  // namespace borvan::win32

// Draws the program's three windows and saves each as a BMP picture in the folder given:
// principale_win32.bmp (during a job), config_win32.bmp and errore_win32.bmp.
//   borvan_schermate_win32 CARTELLA

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/principale.h"
#include "config/configurazione.h"
#include "ecr/registratore_simulato.h"
#include "errors/errori_comuni.h"
#include "win32/cattura.h"
#include "win32/dialogo_config.h"
#include "win32/dialogo_errore.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"

namespace {

using namespace borvan;

struct AmbienteFermo : Ambiente {
  bool altra_istanza_attiva() override { return false; }
  void termina() override {}
  DataOra adesso() override { return {2026, 1, 5, 9, 30, 0}; }
  int64_t millisecondi() override { return 0; }
  void mostra_configurazione() override {}
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: borvan_schermate_win32 CARTELLA\n");
    return 2;
  }
  const std::string destinazione = std::string(argv[1]) + "\\";
  INITCOMMONCONTROLSEX controlli{};
  controlli.dwSize = sizeof controlli;
  controlli.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controlli);

  char temporanea[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporanea);
  const std::string cartella = std::string(temporanea) + "borvan-schermate";
  CreateDirectoryA(cartella.c_str(), nullptr);

  win32::OperatoreWin32 operatore;
  ErroriComuni errori(operatore);
  operatore.imposta_errori(errori);
  AmbienteFermo ambiente;
  bool tutte = true;

  {
    Principale principale(cartella,
                          std::make_unique<RegistratoreSimulato>(cartella_applicazione(cartella)),
                          operatore, errori, ambiente);
    win32::FinestraPrincipale finestra(principale);
    // A receipt being printed, its fourth line on its way.
    for (const char* riga :
         {"=C1", "=R1/$150/(CAFFE')", "=R2/$120/(CORNETTO)", "=R1/$350/(SPREMUTA D'ARANCIA)",
          "=R3/$200/(ACQUA MINERALE)", "=S", "=T1", "=C1"})
      principale.List2.AddItem(riga);
    principale.List2.setListIndex(3);
    principale.Label1.setCaption("OK");
    principale.Command2.setVisible(true);
    finestra.vista_lista().aggiorna();
    ShowWindow(finestra.hwnd(), SW_SHOWNORMAL);
    tutte &= win32::salva_finestra(finestra.hwnd(), destinazione + "principale_win32.bmp");
  }
  {
    win32::DialogoConfig dialogo(cartella, operatore, errori);
    dialogo.form().Form_Load();
    ShowWindow(dialogo.hwnd(), SW_SHOW);
    SetFocus(dialogo.text1);
    tutte &= win32::salva_finestra(dialogo.hwnd(), destinazione + "config_win32.bmp");
  }
  {
    int32_t risposta = 0;
    win32::DialogoErrore dialogo(
        "Descrizione : Errore di I/O sul dispositivo\r\nSource : ECRSIM\r\nCodice errore : 57\r\n",
        risposta, operatore, errori);
    dialogo.form().Form_Load();
    ShowWindow(dialogo.hwnd(), SW_SHOW);
    tutte &= win32::salva_finestra(dialogo.hwnd(), destinazione + "errore_win32.bmp");
  }
  return tutte ? 0 : 1;
}

// Pictures of the program's windows for the documentation, as Windows draws them: the main
// window during a job, the configuration dialog and the error dialog, saved as BMP into the
// folder given (principale_win32.bmp, config_win32.bmp, errore_win32.bmp).
//   borvan_schermate_win32 CARTELLA

#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/cattura.h"
#include "win32/dialogo_config.h"
#include "win32/dialogo_errore.h"
#include "win32/programma.h"

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: borvan_schermate_win32 CARTELLA\n");
    return 2;
  }
  const std::string destinazione = std::string(argv[1]) + "\\";
  borvan::win32::prepara_applicazione();

  // An application directory of its own: nothing here polls or prints.
  char temporanea[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporanea);
  const std::string cartella = std::string(temporanea) + "borvan-schermate";
  CreateDirectoryA(cartella.c_str(), nullptr);
  borvan::win32::Programma programma(cartella);
  borvan::win32::Ciclo& ciclo = programma.ciclo();
  borvan::win32::OperatoreWin32& operatore = programma.operatore();
  borvan::ErroriComuni& errori = programma.errori();
  bool tutte = true;

  {
    borvan::Principale& principale = programma.principale();
    // A receipt being printed, its fourth line on its way.
    for (const char* riga :
         {"=C1", "=R1/$150/(CAFFE')", "=R2/$120/(CORNETTO)", "=R1/$350/(SPREMUTA D'ARANCIA)",
          "=R3/$200/(ACQUA MINERALE)", "=S", "=T1", "=C1"})
      principale.List2.AddItem(riga);
    principale.List2.setListIndex(3);
    principale.Label1.setCaption("OK");
    principale.Command2.setVisible(true);
    HWND finestra = programma.finestra().hwnd();
    programma.finestra().vista_lista().aggiorna();
    ShowWindow(finestra, SW_SHOWNORMAL);
    tutte &= borvan::win32::salva_finestra(finestra, destinazione + "principale_win32.bmp");
    // Out of the dialogs' way.
    ShowWindow(finestra, SW_HIDE);
  }
  {
    borvan::win32::DialogoConfig dialogo(ciclo, programma.cartella_eseguibile(), operatore, errori);
    dialogo.form().Form_Load();
    ShowWindow(dialogo.hwnd(), SW_SHOW);
    SetFocus(dialogo.text1);
    tutte &= borvan::win32::salva_finestra(dialogo.hwnd(), destinazione + "config_win32.bmp");
  }
  {
    int32_t risposta = 0;
    borvan::win32::DialogoErrore dialogo(
        ciclo,
        "Descrizione : Errore di I/O sul dispositivo\r\nSource : ECRSIM\r\nCodice errore : 57\r\n",
        risposta, operatore, errori);
    dialogo.form().Form_Load();
    ShowWindow(dialogo.hwnd(), SW_SHOW);
    tutte &= borvan::win32::salva_finestra(dialogo.hwnd(), destinazione + "errore_win32.bmp");
  }
  return tutte ? 0 : 1;
}

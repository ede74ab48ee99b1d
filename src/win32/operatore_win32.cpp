#include "win32/operatore_win32.h"

#include <commdlg.h>

#include <vector>

#include "support/nome_programma.h"
#include "support/scegli_file.h"
#include "win32/ciclo.h"
#include "win32/dialogo_errore.h"
#include "win32/dialogo_testo.h"
#include "win32/schermo_win32.h"

namespace borvan::win32 {

namespace {

UINT stile_icona(Icona icona) {
  switch (icona) {
    case Icona::domanda:
      return MB_ICONQUESTION;
    case Icona::errore:
      return MB_ICONSTOP;
    case Icona::nessuna:
      break;
  }
  return 0;
}

// A box stands over the active window; with none (the program in the background), it keeps
// every window of the program waiting all the same. It comes to the front, above the
// point-of-sale program: a box nobody sees stops every job behind it.
int casella_messaggio(const std::string& testo, UINT stile) {
  stile |= MB_SETFOREGROUND | MB_TOPMOST;
  HWND proprietario = GetActiveWindow();
  if (proprietario == nullptr) stile |= MB_TASKMODAL;
  return MessageBoxA(proprietario, testo.c_str(), nome_programma, stile);
}

}  // namespace

void OperatoreWin32::messaggio(const std::string& testo, Icona icona) {
  casella_messaggio(testo, MB_OK | stile_icona(icona));
}

bool OperatoreWin32::domanda(const std::string& testo) {
  return casella_messaggio(testo, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> OperatoreWin32::chiedi_testo(const std::string& prompt) {
  DialogoTesto dialogo(ciclo_, prompt);
  return dialogo.esegui();
}

void OperatoreWin32::mostra_form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                                        GestoreErrori& errori) {
  DialogoErrore dialogo(ciclo_, testo_errore, risposta_errore, *this, errori);
  dialogo.esegui();
}

std::optional<std::string> OperatoreWin32::salva_file(const RichiestaSalvaFile& richiesta) {
  // The name buffer as prepared, with room for the NUL the system writes after a full name.
  std::vector<char> nome(richiesta.buffer_nome.begin(), richiesta.buffer_nome.end());
  nome.resize(lunghezza_buffer_file + 1, '\0');
  OPENFILENAMEA record{};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record.hwndOwner = richiesta.con_proprietario ? GetActiveWindow() : nullptr;
  record.lpstrFilter = richiesta.filtro.c_str();
  record.nFilterIndex = static_cast<DWORD>(richiesta.indice_filtro);
  record.lpstrFile = nome.data();
  record.nMaxFile = static_cast<DWORD>(lunghezza_buffer_file);
  record.lpstrInitialDir = richiesta.cartella_iniziale.c_str();
  record.lpstrTitle = richiesta.titolo.c_str();
  // The process's current folder stays where it is, whatever folder is browsed.
  record.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&record)) return std::nullopt;
  return std::string(nome.data());
}

double OperatoreWin32::larghezza_schermo() const {
  return twips(GetSystemMetrics(SM_CXSCREEN));
}

double OperatoreWin32::altezza_schermo() const {
  return twips(GetSystemMetrics(SM_CYSCREEN));
}

void OperatoreWin32::imposta_puntatore(int16_t stile) {
  // Style 99 has no image of its own: it shows the busy pointer it is used for.
  stile_ = stile;
  ciclo_.imposta_puntatore_attesa(stile != puntatore_normale);
}

}  // namespace borvan::win32

#include "win32/ambiente_win32.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "config/configurazione.h"
#include "support/lettura.h"
#include "win32/finestra_principale.h"

namespace borvan::win32 {

std::optional<std::string> in_ansi(const std::wstring& testo) {
  if (testo.empty()) return std::string();
  const int larghezza = static_cast<int>(testo.size());
  // In UTF-8 every character has its bytes; elsewhere no look-alike may stand in for one.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD modo = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL sostituito = FALSE;
  BOOL* controllo = utf8 ? nullptr : &sostituito;
  const int necessari =
      WideCharToMultiByte(CP_ACP, modo, testo.data(), larghezza, nullptr, 0, nullptr, controllo);
  if (necessari <= 0 || sostituito) return std::nullopt;
  std::string ansi(static_cast<size_t>(necessari), '\0');
  WideCharToMultiByte(CP_ACP, modo, testo.data(), larghezza, ansi.data(), necessari, nullptr,
                      nullptr);
  return ansi;
}

namespace {

constexpr DWORD attesa_massima_fine_ms = 5000;

DWORD WINAPI termina_comunque(void*) {
  Sleep(attesa_massima_fine_ms);
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}

}  // namespace

std::wstring AmbienteWin32::cartella_eseguibile_unicode() {
  // A longer path than MAX_PATH is asked again with room for it.
  const std::wstring nome = leggi_testo_di_sistema<wchar_t>([](wchar_t* dove, size_t quanti) {
    return GetModuleFileNameW(nullptr, dove, static_cast<DWORD>(quanti));
  });
  return nome.substr(0, nome.find_last_of(L"\\/"));
}

std::optional<std::string> AmbienteWin32::cartella_eseguibile() {
  return in_ansi(cartella_eseguibile_unicode());
}

AmbienteWin32::AmbienteWin32(const std::string& cartella_eseguibile)
    : percorso_blocco_(cartella_applicazione(cartella_eseguibile) + nome_blocco) {}

bool AmbienteWin32::altra_istanza_attiva() {
  return !blocco_.prendi(percorso_blocco_);
}

// Another process's main window on this desktop: a window lives no longer than its process, so
// the lock is that instance's. (One in another session is not seen: its lock is waited for.)
bool AmbienteWin32::istanza_visibile() {
  for (HWND finestra = nullptr;
       (finestra = FindWindowExA(nullptr, finestra, classe_principale, nullptr)) != nullptr;) {
    DWORD processo = 0;
    GetWindowThreadProcessId(finestra, &processo);
    if (processo != GetCurrentProcessId()) return true;
  }
  return false;
}

// No further step of the program's own: no handler, no destructor, no library clean-up runs
// after this; only the register's control is let go first, as a form lets its controls go.
// Every file the program writes is closed by then, or written through straight to the system.
void AmbienteWin32::termina() {
  if (fine_) {
    const HANDLE guardia = CreateThread(nullptr, 0, termina_comunque, nullptr, 0, nullptr);
    const auto fine = std::exchange(fine_, nullptr);
    fine();
    if (guardia != nullptr) CloseHandle(guardia);
  }
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), 0);
}

std::vector<std::string> AmbienteWin32::avvertenze(const std::string& file_input) {
  std::vector<std::string> note = Ambiente::avvertenze(file_input);
  note.insert(note.end(), avvertenze_.begin(), avvertenze_.end());
  return note;
}

DataOra AmbienteWin32::adesso() {
  SYSTEMTIME ora{};
  GetLocalTime(&ora);
  return {ora.wYear, ora.wMonth, ora.wDay, ora.wHour, ora.wMinute, ora.wSecond};
}

int64_t AmbienteWin32::millisecondi() {
  return static_cast<int64_t>(GetTickCount64());
}

}  // namespace borvan::win32

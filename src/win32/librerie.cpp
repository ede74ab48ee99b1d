#include "win32/librerie.h"

#include <string>

namespace borvan::win32 {

void solo_librerie_di_sistema() {
  SetDllDirectoryW(L"");
  const auto imposta =
      funzione<BOOL(WINAPI*)(DWORD)>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (imposta != nullptr) imposta(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The themes' DLL, which the common controls load by name as they make their first window:
  // already loaded from System32, it is the one they get, whatever loader they go through.
  libreria_di_sistema(L"uxtheme.dll");
}

HMODULE libreria_di_sistema(const wchar_t* nome) {
  wchar_t sistema[MAX_PATH] = L"";
  const UINT lunghezza = GetSystemDirectoryW(sistema, MAX_PATH);
  if (lunghezza == 0) return nullptr;
  if (lunghezza >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  return LoadLibraryW((std::wstring(sistema) + L"\\" + nome).c_str());
}

}  // namespace borvan::win32

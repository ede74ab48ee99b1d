#include "win32/librerie.h"

#include <string>

namespace borvan::win32 {

namespace {

HMODULE kernel32() {
  return GetModuleHandleW(L"kernel32.dll");
}

// A value of the classes' registry, as text; empty where there is none. A value of type
// REG_EXPAND_SZ comes with its variables expanded.
std::wstring valore_classi(const std::wstring& chiave) {
  wchar_t testo[2 * MAX_PATH] = L"";
  DWORD dimensione = sizeof testo;
  if (RegGetValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, testo,
                   &dimensione) != ERROR_SUCCESS)
    return {};
  return testo;
}

// The file registered as the in-process server of the class `progid` names (through its current
// version, and of the class COM creates in its place, where there is one), read from the
// registry alone, so that it can be asked before COM is there; empty where there is none.
std::wstring file_registrato(const std::string& progid) {
  const std::wstring nome(progid.begin(), progid.end());
  std::wstring classe = valore_classi(nome + L"\\CLSID");
  if (const std::wstring corrente = valore_classi(nome + L"\\CurVer");
      classe.empty() && !corrente.empty())
    classe = valore_classi(corrente + L"\\CLSID");
  if (classe.empty()) return {};
  if (const std::wstring sostituta = valore_classi(L"CLSID\\" + classe + L"\\TreatAs");
      !sostituta.empty())
    classe = sostituta;
  // Some setups write the path in quotes, which no file name can contain.
  std::wstring file = valore_classi(L"CLSID\\" + classe + L"\\InprocServer32");
  std::erase(file, L'"');
  return file;
}

// Its folder; empty where there is no file, or only its name, which the search finds.
std::wstring cartella_registrata(const std::string& progid) {
  const std::wstring file = file_registrato(progid);
  const size_t separatore = file.find_last_of(L"\\/");
  return separatore == std::wstring::npos ? std::wstring() : file.substr(0, separatore);
}

}  // namespace

std::wstring registrato_senza_cartella(const std::string& progid) {
  const std::wstring file = file_registrato(progid);
  return file.find_first_of(L"\\/") == std::wstring::npos ? file : std::wstring();
}

std::wstring solo_librerie_di_sistema(const std::string& progid) {
  SetDllDirectoryW(L"");
  // COM loads a control registered by its file name alone with a flag the confined search
  // refuses outright: confined, the register could never be reached.
  std::wstring senza_cartella = registrato_senza_cartella(progid);
  const auto imposta = funzione<BOOL(WINAPI*)(DWORD)>(kernel32(), "SetDefaultDllDirectories");
  // The user directories are the register's control's folder alone (librerie_del_controllo).
  if (imposta != nullptr && senza_cartella.empty())
    imposta(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
  // The themes' DLL, which the common controls load by name as they make their first window:
  // already loaded from System32, it is the one they get, whatever loader they go through.
  libreria_di_sistema(L"uxtheme.dll");
  return senza_cartella;
}

// The folder goes into the process's search, not only into the control's own loading: COM
// loads the control with flags of its own, and what the control loads later by name, or
// delay-loads, is searched for with the process's path. A control registered from the
// program's folder brings that folder in: whoever can write there can replace the control
// itself, so the search gives nothing more away, and refusing it would stop the register.
void librerie_del_controllo(const std::string& progid) {
  using Cartella = void*;
  const auto aggiungi = funzione<Cartella(WINAPI*)(PCWSTR)>(kernel32(), "AddDllDirectory");
  const auto togli = funzione<BOOL(WINAPI*)(Cartella)>(kernel32(), "RemoveDllDirectory");
  // Without the loader update the search was left in its classic order, and COM's own loading
  // looks beside the control.
  if (aggiungi == nullptr || togli == nullptr) return;
  static std::wstring aggiunta;
  static Cartella cookie = nullptr;
  const std::wstring cartella = cartella_registrata(progid);
  if (lstrcmpiW(cartella.c_str(), aggiunta.c_str()) == 0) return;
  if (cookie != nullptr) togli(cookie);
  cookie = cartella.empty() ? nullptr : aggiungi(cartella.c_str());
  aggiunta = cookie != nullptr ? cartella : std::wstring();
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

#include "ecrsim/registrazione.h"

#include <olectl.h>

#include <string>

#include "automazione/driver_com.h"

namespace borvan::ecrsim {

namespace {

const wchar_t* const descrizione = L"Registratore simulato ECRSIM";

std::wstring testo_classe() {
  wchar_t testo[40];
  StringFromGUID2(classe_controllo, testo, 40);
  return testo;
}

std::wstring progid() {
  const std::string ansi = progid_registratore;
  return std::wstring(ansi.begin(), ansi.end());
}

std::wstring chiave_classe() {
  return L"CLSID\\" + testo_classe();
}

LSTATUS scrivi(const std::wstring& chiave, const wchar_t* nome, const std::wstring& valore) {
  HKEY aperta;
  LSTATUS esito = RegCreateKeyExW(HKEY_CLASSES_ROOT, chiave.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &aperta, nullptr);
  if (esito != ERROR_SUCCESS) return esito;
  esito = RegSetValueExW(aperta, nome, 0, REG_SZ, reinterpret_cast<const BYTE*>(valore.c_str()),
                         static_cast<DWORD>((valore.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(aperta);
  return esito;
}

// The class the ProgID points at; empty when it names none, or not as a string.
std::wstring classe_del_progid() {
  wchar_t valore[64] = L"";
  DWORD dimensione = sizeof valore;
  const std::wstring chiave = progid() + L"\\CLSID";
  if (RegGetValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, valore,
                   &dimensione) != ERROR_SUCCESS)
    return {};
  return valore;
}

bool progid_nostro() {
  return _wcsicmp(classe_del_progid().c_str(), testo_classe().c_str()) == 0;
}

// The ProgID's key, whatever it holds (a CurVer only, a class named otherwise), is another
// control's unless it names our class.
bool progid_altrui() {
  HKEY chiave;
  const LSTATUS esito = RegOpenKeyExW(HKEY_CLASSES_ROOT, progid().c_str(), 0, KEY_READ, &chiave);
  if (esito == ERROR_FILE_NOT_FOUND) return false;
  if (esito == ERROR_SUCCESS) RegCloseKey(chiave);
  return !progid_nostro();
}

}  // namespace

HRESULT registra(HMODULE dll) {
  if (progid_altrui()) return SELFREG_E_CLASS;
  wchar_t percorso[MAX_PATH];
  const DWORD lunghezza = GetModuleFileNameW(dll, percorso, MAX_PATH);
  if (lunghezza == 0 || lunghezza == MAX_PATH) return SELFREG_E_CLASS;
  const std::wstring server = chiave_classe() + L"\\InprocServer32";
  const LSTATUS esiti[] = {
      scrivi(progid(), nullptr, descrizione),
      scrivi(progid() + L"\\CLSID", nullptr, testo_classe()),
      scrivi(chiave_classe(), nullptr, descrizione),
      scrivi(chiave_classe() + L"\\ProgID", nullptr, progid()),
      scrivi(server, nullptr, percorso),
      scrivi(server, L"ThreadingModel", L"Apartment"),
  };
  for (const LSTATUS esito : esiti) {
    if (esito != ERROR_SUCCESS) {
      cancella_registrazione();
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT cancella_registrazione() {
  if (progid_nostro()) RegDeleteTreeW(HKEY_CLASSES_ROOT, progid().c_str());
  const LSTATUS esito = RegDeleteTreeW(HKEY_CLASSES_ROOT, chiave_classe().c_str());
  return esito == ERROR_SUCCESS || esito == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

}  // namespace borvan::ecrsim

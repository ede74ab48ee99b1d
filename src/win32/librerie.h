#pragma once

// The system's DLLs, and the register's control's own. The program's folder is writable by
// every till user, and a DLL named without its path is looked for there first: an elevated
// BorvanIF would run whatever one of them put there under the name of a system DLL.

#include <windows.h>

#include <string>

namespace borvan::win32 {

// From now on, for the whole process, a DLL named without its path is looked for in System32
// and in the register's control's folder (librerie_del_controllo) only, never in the program's
// or the current folder; the themes' DLL is loaded from System32 now. Call it first, and import
// nothing but the known DLLs (scripts/controlla_exe.sh): those the loader takes from System32
// whatever the order. The classic order, less the current folder, stays on Windows 7 without
// its 2011 loader update, and where the control `progid` is registered by its file name alone,
// which COM cannot load from a confined search: that file name is returned then.
std::wstring solo_librerie_di_sistema(const std::string& progid);

// The file the control `progid` is registered by, when it has no folder ("mscoree.dll"); empty
// when it has one or is not registered.
std::wstring registrato_senza_cartella(const std::string& progid);

// The folder of the file registered for the control `progid` joins the search, for the DLLs
// the control imports and those it loads later by name, as a vendor's control installed with
// its own libraries beside it needs; a folder it was registered in before leaves it. Nothing
// for a control registered by file name alone or not at all. Call it before each creation.
void librerie_del_controllo(const std::string& progid);

// The system DLL `nome` ("uxtheme.dll"), loaded from System32 by its full path; null when it
// cannot be, with the reason in GetLastError.
HMODULE libreria_di_sistema(const wchar_t* nome);

// A function of a system DLL that older Windows versions may lack; null then.
template <typename Funzione>
Funzione funzione(HMODULE modulo, const char* nome) {
  if (modulo == nullptr) return nullptr;
  return reinterpret_cast<Funzione>(reinterpret_cast<void (*)()>(GetProcAddress(modulo, nome)));
}

}  // namespace borvan::win32

#include "win32/librerie.h"

#include <gtest/gtest.h>

#include <string>

#include "comune/comandi_windows.h"

namespace borvan::win32 {
namespace {

// A control registered from a folder of its own, neither this program's nor System32, with its
// library beside it: imported, or loaded later by name, it is found; beside the program it is
// not.
TEST(Librerie, IlControlloTrovaLeSueLibrerieQuelleAccantoAlProgrammaNo) {
  const std::string controllo = test::percorso_windows(CONTROLLO_ACCANTO);
  const std::string classe = "{5B0E6C1D-3F2A-4E8B-9C7D-1A2B3C4D5E6F}";
  const auto registra = [&](const std::string& file) {
    RegSetKeyValueA(HKEY_CLASSES_ROOT, ("CLSID\\" + classe + "\\InprocServer32").c_str(), nullptr,
                    REG_SZ, file.c_str(), static_cast<DWORD>(file.size() + 1));
  };
  RegSetKeyValueA(HKEY_CLASSES_ROOT, "BorvanIF.ProvaAccanto\\CLSID", nullptr, REG_SZ,
                  classe.c_str(), static_cast<DWORD>(classe.size() + 1));
  // Registered by its file name alone, COM could not load it from a confined search.
  registra("mscoree.dll");
  EXPECT_EQ(registrato_senza_cartella("BorvanIF.ProvaAccanto"), L"mscoree.dll");
  registra(controllo);
  EXPECT_EQ(solo_librerie_di_sistema("BorvanIF.ProvaAccanto"), L"");
  librerie_del_controllo("BorvanIF.ProvaAccanto");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "BorvanIF.ProvaAccanto");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + classe).c_str());
  // By its full path, its import looked for along the process's search, whatever flags COM adds.
  const HMODULE modulo = LoadLibraryA(controllo.c_str());
  ASSERT_NE(modulo, nullptr) << GetLastError();
  FreeLibrary(modulo);
  EXPECT_NE(LoadLibraryA("libreria_accanto.dll"), nullptr) << GetLastError();
  EXPECT_EQ(LoadLibraryA("nel_programma.dll"), nullptr);
}

}  // namespace
}  // namespace borvan::win32

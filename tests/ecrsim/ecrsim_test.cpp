// ECRSIM.DLL's registration, as an integrator runs it (regsvr32). The control itself is the real
// program's register in every Windows test of it (comune/esiti_comuni.h).

#include <gtest/gtest.h>

#include "comune/comandi_windows.h"

namespace borvan {
namespace {

// A ProgID key that does not name the stand-in's class belongs to another control (the
// register's own), whatever it holds: it is never taken over, nor removed.
TEST(Ecrsim, NonPrendeIlProgIdDiUnAltroControllo) {
  struct Altrui {
    const char* sottochiave;
    DWORD tipo;
    std::string valore;
  };
  const Altrui casi[] = {{"CLSID", REG_SZ, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"},
                         {"CurVer", REG_SZ, "COECRCOMLib.CoEcrCom.2"},
                         {"CLSID", REG_BINARY, "{25274A42-A1BC-4A19-AC8C-3A29B4EE74A2}"}};
  for (const Altrui& caso : casi) {
    SCOPED_TRACE(caso.sottochiave);
    const std::string chiave = std::string("COECRCOMLib.CoEcrCom\\") + caso.sottochiave;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, caso.tipo,
                              caso.valore.c_str(), static_cast<DWORD>(caso.valore.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_NE(test::regsvr32(""), 0u);
    test::regsvr32("/u");
    char valore[64] = "";
    DWORD dimensione = sizeof valore;
    EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, RRF_RT_ANY, nullptr, valore,
                           &dimensione),
              ERROR_SUCCESS);
    EXPECT_EQ(valore, caso.valore);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom");
  }
}

}  // namespace
}  // namespace borvan

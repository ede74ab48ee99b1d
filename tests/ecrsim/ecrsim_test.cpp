// ECRSIM.DLL's registration, as an integrator runs it (regsvr32). The control itself is the real
// program's register in every Windows test of it (comune/esiti_comuni.h).

#include <gtest/gtest.h>

#include "comune/registrazione_com.h"

namespace borvan {
namespace {

// A ProgID that belongs to another control (the register's own) is never taken over, nor
// removed.
TEST(Ecrsim, NonPrendeIlProgIdDiUnAltroControllo) {
  const char* altra_classe = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom\\CLSID", nullptr, REG_SZ,
                            altra_classe, 39),
            ERROR_SUCCESS);
  EXPECT_NE(test::regsvr32(""), 0u);
  test::regsvr32("/u");
  char valore[64] = "";
  DWORD dimensione = sizeof valore;
  EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom\\CLSID", nullptr, RRF_RT_REG_SZ,
                         nullptr, valore, &dimensione),
            ERROR_SUCCESS);
  EXPECT_STREQ(valore, altra_classe);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom");
}

}  // namespace
}  // namespace borvan

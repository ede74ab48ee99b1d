#include "win32/ambiente_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "comune/cartella_temporanea.h"

namespace borvan::win32 {
namespace {

// One instance per installation, however its folder is spelt; another folder is another
// installation. (A dead holder's lock is the program's restart test's.)
TEST(AmbienteWin32, UnaSolaIstanzaPerInstallazione) {
  test::CartellaTemporanea installazione, altra;
  const std::string cartella = installazione.percorso("");
  AmbienteWin32 primo(cartella);
  ASSERT_FALSE(primo.altra_istanza_attiva());
  std::string diversa = cartella.substr(0, cartella.size() - 1);
  CharUpperBuffA(diversa.data(), static_cast<DWORD>(diversa.size()));
  std::replace(diversa.begin(), diversa.end(), '\\', '/');
  EXPECT_TRUE(AmbienteWin32(diversa).altra_istanza_attiva()) << diversa;
  EXPECT_FALSE(AmbienteWin32(altra.percorso("")).altra_istanza_attiva());
}

// A folder name the code page cannot spell, or only with a look-alike, is none of the
// program's: every file of the program would be missed, so it says so and does not start.
TEST(AmbienteWin32, UnNomeCheLaCodePageNonSaScrivere) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the UTF-8 code page spells every name";
  EXPECT_EQ(in_ansi(L"C:\\Cassa 1"), "C:\\Cassa 1");
  EXPECT_EQ(in_ansi(L"C:\\Cassa \u2603"), std::nullopt);
  EXPECT_EQ(in_ansi(L"C:\\Cassa \u0100"), std::nullopt);  // not "A"
}

}  // namespace
}  // namespace borvan::win32

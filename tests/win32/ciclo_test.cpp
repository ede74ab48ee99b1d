#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <memory>

#include "automazione/virgola_mobile.h"
#include "comune/banco.h"
#include "win32/programma.h"

namespace borvan::test {
namespace {

// The program as WinMain wires it, over a scripted register.
struct Ciclo : ::testing::Test {
  Ciclo() { win32::prepara_applicazione(); }

  CartellaTemporanea cartella;
  win32::Programma programma{cartella.cartella(), std::make_unique<DriverFinto>()};
};

// A tick that a control's own loop delivers with the control's floating-point control word in
// force (toward zero, exceptions unmasked) runs with the program's; the control gets its own back.
TEST_F(Ciclo, IGestoriDentroUnaChiamataHannoLaParolaDelProgramma) {
  const unsigned del_programma = _mm_getcsr() & ~0x3Fu, del_controllo = 0x7900;
  unsigned dentro = 0, dopo = 0;
  win32::Temporizzatore tick(programma.ciclo().temporizzatori(), programma.finestra().hwnd(),
                             [&] { dentro = _mm_getcsr() & ~0x3Fu; });
  tick.imposta(true, 1);
  {
    const ParoleRipristinate chiamata;  // a call into the control
    _mm_setcsr(del_controllo);
    SendMessageA(programma.finestra().hwnd(), WM_TIMER, reinterpret_cast<WPARAM>(&tick), 0);
    dopo = _mm_getcsr() & ~0x3Fu;
  }
  EXPECT_EQ(dentro, del_programma);
  EXPECT_EQ(dopo, del_controllo);
}

// "Riduci ad icona" minimises; once the main loop is over, what the control still delivers starts
// nothing of the core.
TEST_F(Ciclo, FinitoIlCicloNessunGestoreParte) {
  ASSERT_TRUE(programma.avvia());
  const HWND finestra = programma.finestra().hwnd(), riduci = programma.finestra().command4;
  const auto clic = [&] {
    SendMessageA(finestra, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(riduci), BN_CLICKED),
                 reinterpret_cast<LPARAM>(riduci));
  };
  clic();
  EXPECT_TRUE(IsIconic(finestra));
  ShowWindow(finestra, SW_RESTORE);
  PostQuitMessage(0);
  programma.esegui();
  clic();
  EXPECT_FALSE(IsIconic(finestra));
}

}  // namespace
}  // namespace borvan::test

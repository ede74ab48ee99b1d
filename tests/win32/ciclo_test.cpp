#include <xmmintrin.h>

#include <chrono>
#include <memory>
#include <string>

#include "automazione/virgola_mobile.h"
#include "banco_win32.h"
#include "comune/banco.h"
#include "comune/vista_sorveglianza.h"
#include "win32/programma.h"
#include "win32/sorveglianza.h"

namespace borvan::test {
namespace {

using namespace std::chrono_literals;

// The program as WinMain wires it, over a scripted register.
struct Ciclo : ::testing::Test {
  Ciclo() { win32::prepara_applicazione(); }

  // Runs the main loop until the condition holds or the time has passed.
  void gira(const std::function<bool()>& condizione, std::chrono::milliseconds entro) {
    const auto fine = std::chrono::steady_clock::now() + entro;
    Copione copione(
        [&] {
          if (!condizione() && std::chrono::steady_clock::now() < fine) return false;
          PostQuitMessage(0);
          return true;
        },
        entro + 1s);
    programma.ciclo().principale();
  }

  CartellaTemporanea cartella;
  DriverFinto* driver = new DriverFinto;
  win32::Programma programma{cartella.cartella(), std::unique_ptr<DriverEcr>(driver)};
};

// A window timer alone sends some 100 lines a second: 5,000 lines would take 50 seconds.
TEST_F(Ciclo, UnLavoroNonAspettaIlTimerDelSistema) {
  cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=20\r\n");
  std::string lavoro;
  for (int i = 0; i < 5000; ++i) lavoro += "riga " + std::to_string(i) + "\r\n";
  cartella.scrivi("Scontr.ECR", lavoro);
  const auto inizio = std::chrono::steady_clock::now();
  ASSERT_TRUE(programma.avvia());
  gira([&] { return cartella.esiste("Result.TXT") && !cartella.esiste("Scontr.ECR"); }, 10s);
  const double secondi =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  EXPECT_EQ(driver->inviate.size(), 5000u);
  EXPECT_EQ(cartella.leggi("Result.TXT"), "0\r\nStampa completata correttamente\r\n");
  EXPECT_LT(secondi, 5.0);
}

// The folder watch, waited for by the main loop beside the messages.
TEST_F(Ciclo, LaSorveglianzaRiportaUnaVoltaOgniRaffica) {
  Sorveglianza sorveglianza;
  int chiamate = 0;
  const win32::VistaSorveglianza vista(sorveglianza, programma.finestra(),
                                       [&chiamate] { ++chiamate; });
  const auto gira_qui = [this](const auto& condizione, auto entro) { gira(condizione, entro); };
  EXPECT_EQ(percorri_sorveglianza(sorveglianza, chiamate, cartella, gira_qui), sorveglianza_attesa);
}

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

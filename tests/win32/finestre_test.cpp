// The keys, boxes and ticks that reach the windows' cores, acted on from inside their modal
// loops (message boxes, dialogs) through a thread timer, as a person would.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "comune/banco.h"
#include "win32/dialogo_errore.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"
#include "win32/programma.h"

namespace borvan::test {
namespace {

// Runs a step every 10 ms from inside whatever loop is running, until it answers true; one
// still waiting after `entro` fails the test and runs no more.
class Copione {
 public:
  explicit Copione(std::function<bool()> passo,
                   std::chrono::steady_clock::duration entro = std::chrono::seconds(10))
      : scadenza_(std::chrono::steady_clock::now() + entro), passo_(std::move(passo)) {
    attivo_ = this;
    id_ = SetTimer(nullptr, 0, 10, &Copione::scatto);
  }
  ~Copione() {
    KillTimer(nullptr, id_);
    attivo_ = nullptr;
  }
  Copione(const Copione&) = delete;
  Copione& operator=(const Copione&) = delete;

  bool finito() const { return !passo_; }

 private:
  static void CALLBACK scatto(HWND, UINT, UINT_PTR, DWORD) {
    Copione* c = attivo_;
    if (c == nullptr || !c->passo_ || c->in_corso_) return;
    c->in_corso_ = true;
    const bool fatto = c->passo_();
    c->in_corso_ = false;
    if (!fatto && std::chrono::steady_clock::now() < c->scadenza_) return;
    EXPECT_TRUE(fatto) << "un passo del copione non si e' compiuto";
    c->passo_ = nullptr;
  }

  static inline Copione* attivo_ = nullptr;
  UINT_PTR id_ = 0;
  bool in_corso_ = false;
  std::chrono::steady_clock::time_point scadenza_;
  std::function<bool()> passo_;
};

// The windows over a scripted system, whose end is only recorded.
struct Finestre : ::testing::Test {
  Finestre() { win32::prepara_applicazione(); }

  CartellaTemporanea cartella;
  win32::Ciclo ciclo;
  win32::OperatoreWin32 operatore{ciclo};
  ErroriComuni errori{operatore};
  AmbienteFinto ambiente;
  Principale principale{cartella.cartella(), std::make_unique<DriverFinto>(), operatore, errori,
                        ambiente};
  win32::FinestraPrincipale finestra{ciclo, principale};
  int32_t risposta = 0;
};

// Enter retries and Esc gives up from any control, on either tab, as do Alt+R and Alt+A; the
// countdown has not answered meanwhile.
TEST_F(Finestre, ErroreTastiDaOgniControllo) {
  struct Caso {
    HWND win32::DialogoErrore::*fuoco;
    UINT messaggio;
    WPARAM tasto;
    int32_t attesa;
  } casi[] = {{&win32::DialogoErrore::command2, WM_KEYDOWN, VK_RETURN, 4},
              {&win32::DialogoErrore::sstab1, WM_KEYDOWN, VK_ESCAPE, 2},
              {&win32::DialogoErrore::command2, WM_SYSCHAR, 'r', 4},
              {&win32::DialogoErrore::command1, WM_SYSCHAR, 'a', 2}};
  for (const Caso& c : casi) {
    win32::DialogoErrore dialogo(ciclo, "x", risposta, operatore, errori);
    Copione copione([&] {
      if (!IsWindowVisible(dialogo.hwnd())) return false;
      dialogo.form().SSTab1.setTab(c.fuoco == &win32::DialogoErrore::sstab1);
      SetFocus(dialogo.*c.fuoco);
      PostMessageA(dialogo.*c.fuoco, c.messaggio, c.tasto, c.messaggio == WM_SYSCHAR ? 1 << 29 : 1);
      return true;
    });
    dialogo.esegui();
    EXPECT_EQ(risposta, c.attesa) << c.tasto;
    EXPECT_NE(dialogo.form().Label2.Caption(), "0");
  }
}

TEST_F(Finestre, IlContoAllaRovesciaTiccaNelDialogoERiprova) {
  win32::DialogoErrore dialogo(ciclo, "x", risposta, operatore, errori);
  dialogo.form().Timer1.setInterval(20);
  dialogo.esegui();
  EXPECT_EQ(risposta, 4);
  EXPECT_EQ(dialogo.form().Label2.Caption(), "0");
}

// The title bar's close asks the close question in a box with the program's caption, inside
// which the window timers keep ticking; Enter answers its default, No.
TEST_F(Finestre, LaChiusuraDallaBarraChiedeConfermaEITimerTiccano) {
  Timer timer;
  int tick = 0;
  win32::VistaTimer vista(timer, finestra, [&] { ++tick; });
  timer.setInterval(15);
  timer.setEnabled(true);
  char testo[512] = {};
  Copione copione([&] {
    HWND casella = nullptr;  // this test's: other programs under the display may show theirs
    while ((casella = FindWindowExA(nullptr, casella, "#32770", "BorvanIF")) != nullptr &&
           GetWindowThreadProcessId(casella, nullptr) != GetCurrentThreadId()) {
    }
    if (casella == nullptr || tick < 3) return false;
    GetDlgItemTextA(casella, 0xFFFF, testo, sizeof testo);
    PostMessageA(casella, WM_KEYDOWN, VK_RETURN, 1);
    return true;
  });
  SendMessageA(finestra.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(copione.finito());
  EXPECT_EQ(std::string(testo).rfind("Sicuro di voler chiudere BorvanIF?", 0), 0u);
  EXPECT_EQ(ambiente.terminazioni, 0);
  EXPECT_TRUE(IsWindow(finestra.hwnd()));
}

}  // namespace
}  // namespace borvan::test

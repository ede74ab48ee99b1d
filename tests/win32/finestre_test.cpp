// The three windows as drawn, and the keys, boxes and ticks that reach their cores.

#include <memory>
#include <vector>

#include "banco_win32.h"
#include "comune/banco.h"
#include "win32/dialogo_config.h"
#include "win32/dialogo_errore.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"
#include "win32/programma.h"

namespace borvan::test {
namespace {

using win32::pixel;

// A control's place in its window's client area.
RECT posto_in(HWND controllo) {
  RECT r{};
  GetWindowRect(controllo, &r);
  MapWindowPoints(nullptr, GetParent(controllo), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> ordine_tab(HWND finestra) {
  std::vector<HWND> ordine;
  HWND primo = GetNextDlgTabItem(finestra, nullptr, FALSE);
  for (HWND c = primo; c != nullptr && ordine.size() < 40;) {
    ordine.push_back(c);
    c = GetNextDlgTabItem(finestra, c, FALSE);
    if (c == primo) break;
  }
  return ordine;
}

bool in_cima(HWND finestra) {
  return (GetWindowLongA(finestra, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

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

// Placed by their twips at the screen's resolution, every control inside its window; the main
// window's class, by which the installer finds it; the tab order, "Interrompi la stampa" in it
// only while shown.
TEST_F(Finestre, PostiEOrdineDiTabulazione) {
  win32::FinestraPrincipale& f = finestra;
  win32::DialogoConfig c(ciclo, cartella.cartella(), operatore, errori);
  win32::DialogoErrore errore(ciclo, "x", risposta, operatore, errori);
  EXPECT_EQ(pixel(1440), win32::punti_per_pollice());
  const win32::Posto l = win32::posto(Principale::disegno.controllo("List2").posto);
  const RECT lista{l.x, l.y, l.x + l.larghezza, l.y + l.altezza};
  RECT r = posto_in(f.list2);
  EXPECT_TRUE(EqualRect(&r, &lista));
  for (HWND w : {f.hwnd(), c.hwnd(), errore.hwnd()}) {
    RECT area{}, unione{};
    GetClientRect(w, &area);
    for (HWND controllo = GetWindow(w, GW_CHILD); controllo != nullptr;
         controllo = GetWindow(controllo, GW_HWNDNEXT)) {
      r = posto_in(controllo);
      UnionRect(&unione, &area, &r);
      EXPECT_TRUE(EqualRect(&unione, &area)) << "controllo " << GetDlgCtrlID(controllo);
    }
  }
  char classe[64] = {};
  GetClassNameA(f.hwnd(), classe, sizeof classe);
  EXPECT_STREQ(classe, "BorvanIF_Principale");

  EXPECT_EQ(ordine_tab(f.hwnd()), (std::vector<HWND>{f.command1, f.list2, f.command3, f.command4}));
  principale.Command2.setVisible(true);
  EXPECT_EQ(ordine_tab(f.hwnd()),
            (std::vector<HWND>{f.command1, f.command2, f.list2, f.command3, f.command4}));
  EXPECT_EQ(ordine_tab(c.hwnd()),
            (std::vector<HWND>{c.text1, c.command1, c.text2, c.command2, c.text3, c.check1, c.text4,
                               c.command3, c.text5, c.text6, c.command4, c.command5, c.command6}));
}

// Esc cancels, writing nothing.
TEST_F(Finestre, ConfigEscChiudeSenzaScrivere) {
  win32::DialogoConfig dialogo(ciclo, cartella.cartella(), operatore, errori);
  Copione copione([&] {
    if (!IsWindowVisible(dialogo.hwnd())) return false;
    SetFocus(dialogo.command6);
    PostMessageA(dialogo.command6, WM_KEYDOWN, VK_ESCAPE, 1);
    return true;
  });
  dialogo.esegui();
  EXPECT_TRUE(dialogo.form().Form.scaricata());
  EXPECT_FALSE(cartella.esiste("BorvanIF.CFG"));
}

// Enter retries and Esc gives up from any control, on either tab, as do Alt+R and Alt+A; the
// countdown has not answered meanwhile, and the dialog stands in front of every window.
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
    const bool seconda_scheda = c.fuoco == &win32::DialogoErrore::sstab1;
    bool nascosti = false, davanti = false;
    Copione copione([&] {
      if (!IsWindowVisible(dialogo.hwnd())) return false;
      davanti = GetForegroundWindow() == dialogo.hwnd() && in_cima(dialogo.hwnd());
      dialogo.form().SSTab1.setTab(static_cast<int16_t>(seconda_scheda));
      nascosti = !IsWindowVisible(dialogo.command1) && !IsWindowVisible(dialogo.label1);
      SetFocus(dialogo.*c.fuoco);
      PostMessageA(dialogo.*c.fuoco, c.messaggio, c.tasto, c.messaggio == WM_SYSCHAR ? 1 << 29 : 1);
      return true;
    });
    dialogo.esegui();
    EXPECT_EQ(risposta, c.attesa) << c.tasto;
    EXPECT_EQ(nascosti, seconda_scheda);
    EXPECT_TRUE(davanti);
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
    HWND casella = casella_messaggio();
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

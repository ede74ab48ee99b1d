// The three windows as drawn, and the keys, boxes and ticks that reach their cores.

#include <memory>
#include <vector>

#include "banco_win32.h"
#include "comune/banco.h"
#include "win32/dialogo_config.h"
#include "win32/dialogo_errore.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"

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

struct Finestre : ::testing::Test {
  Finestre() { prepara_controlli(); }

  CartellaTemporanea cartella;
  win32::OperatoreWin32 operatore;
  ErroriComuni errori{operatore};
  AmbienteFinto ambiente;
  Principale principale{cartella.cartella(), std::make_unique<DriverFinto>(), operatore, errori,
                        ambiente};
  std::unique_ptr<win32::FinestraPrincipale> finestra =
      std::make_unique<win32::FinestraPrincipale>(principale);
  int32_t risposta = 0;
};

TEST_F(Finestre, TwipsDiventanoPixelAlPuntiPerPollice) {
  EXPECT_EQ(pixel(1440), win32::punti_per_pollice());
  win32::DialogoConfig config(cartella.cartella(), operatore, errori);
  win32::DialogoErrore errore("x", risposta, operatore, errori);
  struct Caso {
    HWND finestra;
    double larghezza, altezza;
    HWND controllo;
    double left, top, width, height;
  } casi[] = {
      {finestra->hwnd(), 4560, 3570, finestra->list2, 120, 630, 4185, 1815},
      {finestra->hwnd(), 4560, 3570, finestra->command4, 2220, 3090, 2085, 435},
      {config.hwnd(), 8775, 2610, config.text1, 2520, 390, 4485, 285},
      {config.hwnd(), 8775, 2610, config.command5, 7590, 1410, 1095, 945},
      {errore.hwnd(), 7140, 3045, errore.command2, 4530, 1770, 2535, 1155},
  };
  for (const Caso& c : casi) {
    RECT area{};
    GetClientRect(c.finestra, &area);
    EXPECT_EQ(area.right, pixel(c.larghezza));
    EXPECT_EQ(area.bottom, pixel(c.altezza));
    const RECT r = posto_in(c.controllo);
    EXPECT_EQ(r.left, pixel(c.left));
    EXPECT_EQ(r.top, pixel(c.top));
    EXPECT_EQ(r.right - r.left, pixel(c.width));
    EXPECT_EQ(r.bottom - r.top, pixel(c.height));
  }
  // Fixed borders; the configuration dialog is a tool window.
  EXPECT_FALSE(GetWindowLongPtrA(finestra->hwnd(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrA(config.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  char classe[64] = {};
  GetClassNameA(finestra->hwnd(), classe, sizeof classe);
  EXPECT_STREQ(classe, "BorvanIF_Principale");
}

TEST_F(Finestre, OrdineDiTabulazione) {
  win32::FinestraPrincipale& f = *finestra;
  // "Interrompi la stampa" takes the focus only while it is shown.
  EXPECT_EQ(ordine_tab(f.hwnd()), (std::vector<HWND>{f.command1, f.list2, f.command3, f.command4}));
  principale.Command2.setVisible(true);
  EXPECT_EQ(ordine_tab(f.hwnd()),
            (std::vector<HWND>{f.command1, f.command2, f.list2, f.command3, f.command4}));

  win32::DialogoConfig c(cartella.cartella(), operatore, errori);
  EXPECT_EQ(ordine_tab(c.hwnd()),
            (std::vector<HWND>{c.text1, c.command1, c.text2, c.command2, c.text3, c.check1, c.text4,
                               c.command3, c.text5, c.text6, c.command4, c.command5, c.command6}));
}

// Esc cancels whatever has the focus; Enter presses no button, "OK" included.
TEST_F(Finestre, ConfigEscChiudeEInvioNonPremeNulla) {
  win32::DialogoConfig* aperto = nullptr;
  HWND win32::DialogoConfig::*fuochi[] = {
      &win32::DialogoConfig::text1, &win32::DialogoConfig::text5, &win32::DialogoConfig::check1,
      &win32::DialogoConfig::command4, &win32::DialogoConfig::command6};
  for (auto fuoco : fuochi) {
    win32::DialogoConfig dialogo(cartella.cartella(), operatore, errori);
    aperto = &dialogo;
    bool aperto_dopo_invio = false;
    Copione copione;
    copione
        .poi([&] {
          if (!IsWindowVisible(aperto->hwnd())) return false;
          premi(aperto->*fuoco, VK_RETURN);
          return true;
        })
        .poi([&] {
          aperto_dopo_invio = aperto->hwnd() != nullptr && casella_messaggio() == nullptr;
          premi(aperto->*fuoco, VK_ESCAPE);
          return true;
        });
    dialogo.esegui();
    EXPECT_TRUE(aperto_dopo_invio);
    EXPECT_TRUE(dialogo.form().Form.scaricata());
    EXPECT_FALSE(cartella.esiste("BorvanIF.CFG"));
  }
}

// Enter answers retry and Esc give up, whichever control has the focus, on either tab.
TEST_F(Finestre, ErroreInvioEdEscDaOgniControllo) {
  struct Caso {
    int scheda;
    bool sulle_schede;  // the focus on the tab control, else on "&Annulla"
    WPARAM tasto;
    int32_t attesa;
  } casi[] = {{0, false, VK_RETURN, 4},
              {0, false, VK_ESCAPE, 2},
              {1, true, VK_RETURN, 4},
              {1, true, VK_ESCAPE, 2}};
  for (const Caso& c : casi) {
    win32::DialogoErrore dialogo("Descrizione : x\r\n", risposta, operatore, errori);
    bool nascosti = false;
    Copione copione;
    copione.poi([&] {
      if (!IsWindowVisible(dialogo.hwnd())) return false;
      dialogo.form().SSTab1.setTab(static_cast<int16_t>(c.scheda));
      nascosti = !IsWindowVisible(dialogo.command1) && !IsWindowVisible(dialogo.label1);
      premi(c.sulle_schede ? dialogo.sstab1 : dialogo.command2, c.tasto);
      return true;
    });
    dialogo.esegui();
    EXPECT_EQ(risposta, c.attesa) << "scheda " << c.scheda;
    EXPECT_EQ(nascosti, c.scheda == 1);
  }
}

// Alt+R and Alt+A press the buttons their captions mark, wherever the focus is.
TEST_F(Finestre, ErroreTastiDiAccessoDeiPulsanti) {
  struct Caso {
    char lettera;
    int32_t attesa;
  } casi[] = {{'a', 2}, {'r', 4}};
  for (const Caso& c : casi) {
    win32::DialogoErrore dialogo("x", risposta, operatore, errori);
    dialogo.form().Timer1.setEnabled(false);  // no retry by the countdown meanwhile
    Copione copione;
    copione.poi([&] {
      if (!IsWindowVisible(dialogo.hwnd())) return false;
      HWND altro = c.attesa == 2 ? dialogo.command1 : dialogo.command2;
      SetFocus(altro);
      PostMessageA(altro, WM_SYSCHAR, static_cast<WPARAM>(c.lettera), 1 << 29);
      return true;
    });
    dialogo.esegui();
    EXPECT_EQ(risposta, c.attesa) << c.lettera;
  }
}

TEST_F(Finestre, IlContoAllaRovesciaTiccaNelDialogoERiprova) {
  win32::DialogoErrore dialogo("x", risposta, operatore, errori);
  dialogo.form().Timer1.setInterval(20);
  dialogo.esegui();
  EXPECT_EQ(risposta, 4);
  EXPECT_EQ(dialogo.form().Label2.Caption(), "0");
}

// A window timer keeps ticking while a message box waits; the box has the program's caption.
TEST_F(Finestre, ITimerTiccanoDentroUnaCasellaDiMessaggio) {
  Timer timer;
  int tick = 0;
  win32::VistaTimer vista(timer, *finestra, [&] { ++tick; });
  timer.setInterval(15);
  timer.setEnabled(true);
  std::string testo;
  Copione copione;
  copione.poi([&] {
    HWND casella = casella_messaggio();
    if (casella == nullptr || tick < 3) return false;
    testo = testo_casella(casella);
    PostMessageA(casella, WM_COMMAND, IDOK, 0);
    return true;
  });
  operatore.messaggio("Carta esaurita", Icona::errore);
  EXPECT_GE(tick, 3);
  EXPECT_EQ(testo, "Carta esaurita");
}

// The title bar's close asks the close question; Enter answers its default, No.
TEST_F(Finestre, LaChiusuraDallaBarraChiedeConferma) {
  std::string domanda;
  Copione copione;
  copione.poi([&] {
    HWND casella = casella_messaggio();
    if (casella == nullptr) return false;
    domanda = testo_casella(casella);
    PostMessageA(casella, WM_KEYDOWN, VK_RETURN, 1);
    return true;
  });
  SendMessageA(finestra->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(copione.finito());
  EXPECT_EQ(domanda.rfind("Sicuro di voler chiudere BorvanIF?", 0), 0u);
  EXPECT_EQ(ambiente.terminazioni, 0);
  EXPECT_TRUE(IsWindow(finestra->hwnd()));

  copione.poi([&] {
    HWND casella = casella_messaggio();
    if (casella == nullptr) return false;
    PostMessageA(casella, WM_COMMAND, IDYES, 0);
    return true;
  });
  SendMessageA(finestra->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ambiente.terminazioni, 1);
}

TEST_F(Finestre, RiduciAdIconaEPuntatore) {
  ShowWindow(finestra->hwnd(), SW_SHOWNORMAL);
  SendMessageA(finestra->hwnd(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(finestra->command4), BN_CLICKED),
               reinterpret_cast<LPARAM>(finestra->command4));
  EXPECT_TRUE(IsIconic(finestra->hwnd()));
  ShowWindow(finestra->hwnd(), SW_RESTORE);

  // Style 99 shows the wait cursor over every control of the program; 0 gives each its own.
  auto cursore_su = [](HWND controllo) {
    SendMessageA(controllo, WM_SETCURSOR, reinterpret_cast<WPARAM>(controllo),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const HCURSOR attesa = LoadCursorA(nullptr, IDC_WAIT);
  operatore.imposta_puntatore(puntatore_personalizzato);
  EXPECT_EQ(operatore.puntatore(), puntatore_personalizzato);
  EXPECT_EQ(cursore_su(finestra->list2), attesa);
  EXPECT_EQ(cursore_su(finestra->command1), attesa);
  operatore.imposta_puntatore(puntatore_normale);
  EXPECT_NE(cursore_su(finestra->list2), attesa);
}

}  // namespace
}  // namespace borvan::test

#include "win32/viste.h"

#include <commctrl.h>

#include <string>

#include "win32/protetto.h"

namespace borvan::win32 {

namespace {

std::string testo_di(HWND controllo) {
  std::string testo(static_cast<size_t>(GetWindowTextLengthA(controllo)) + 1, '\0');
  testo.resize(
      static_cast<size_t>(GetWindowTextA(controllo, testo.data(), static_cast<int>(testo.size()))));
  return testo;
}

// Sets a control's text only when it changes: the status label is set once a line.
void mostra_testo(HWND controllo, const std::string& testo, std::string& mostrato) {
  if (testo == mostrato) return;
  mostrato = testo;
  SetWindowTextA(controllo, testo.c_str());
}

// Keeps a view observing its control until the view's window goes.
void finche_vive(Modulo& modulo, Legame legame) {
  auto tenuto = std::make_shared<Legame>(std::move(legame));
  modulo.alla_distruzione([tenuto] { *tenuto = Legame(); });
}

}  // namespace

void collega(Label& etichetta, HWND controllo, Modulo& modulo) {
  auto mostrato = std::make_shared<std::string>(testo_di(controllo));
  auto aggiorna = [&etichetta, controllo, mostrato] {
    mostra_testo(controllo, etichetta.Caption(), *mostrato);
  };
  finche_vive(modulo, etichetta.osserva(aggiorna));
  aggiorna();
}

void collega(Button& pulsante, HWND controllo, Modulo& modulo, std::function<void()> click) {
  auto mostrato = std::make_shared<std::string>(testo_di(controllo));
  auto aggiorna = [&pulsante, controllo, mostrato] {
    mostra_testo(controllo, pulsante.Caption(), *mostrato);
    // Its own style, not IsWindowVisible: the window may not be shown yet.
    const bool visibile = (GetWindowLongPtrA(controllo, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visibile != pulsante.Visible())
      ShowWindow(controllo, pulsante.Visible() ? SW_SHOW : SW_HIDE);
  };
  finche_vive(modulo, pulsante.osserva(aggiorna));
  aggiorna();
  modulo.al_comando(controllo, [&ciclo = modulo.ciclo(), click = std::move(click)](WORD codice) {
    if (codice == BN_CLICKED) protetto(ciclo, click);
  });
}

void collega(TextBox& casella, HWND controllo, Modulo& modulo) {
  // The program's own changes are not the user's: they do not echo back.
  auto dal_programma = std::make_shared<bool>(false);
  auto aggiorna = [&casella, controllo, dal_programma] {
    if (testo_di(controllo) == casella.Text()) return;
    *dal_programma = true;
    SetWindowTextA(controllo, casella.Text().c_str());
    *dal_programma = false;
  };
  finche_vive(modulo, casella.osserva(aggiorna));
  aggiorna();
  modulo.al_comando(controllo, [&casella, controllo, dal_programma](WORD codice) {
    if (codice == EN_CHANGE && !*dal_programma) casella.setText_dall_utente(testo_di(controllo));
  });
}

void collega(CheckBox& casella, HWND controllo, Modulo& modulo) {
  auto aggiorna = [&casella, controllo] {
    SendMessageA(controllo, BM_SETCHECK, casella.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  };
  finche_vive(modulo, casella.osserva(aggiorna));
  aggiorna();
  modulo.al_comando(controllo, [&casella, controllo](WORD codice) {
    if (codice != BN_CLICKED) return;
    const bool spuntata = SendMessageA(controllo, BM_GETCHECK, 0, 0) == BST_CHECKED;
    casella.setValue_dall_utente(spuntata ? 1 : 0);
  });
}

void collega(TabStrip& schede, HWND controllo, Modulo& modulo, std::function<void(int)> mostrata) {
  auto mostra = std::make_shared<std::function<void(int)>>(std::move(mostrata));
  auto aggiorna = [&schede, controllo, mostra] {
    if (SendMessageA(controllo, TCM_GETCURSEL, 0, 0) != schede.Tab())
      SendMessageA(controllo, TCM_SETCURSEL, static_cast<WPARAM>(schede.Tab()), 0);
    (*mostra)(schede.Tab());
  };
  finche_vive(modulo, schede.osserva(aggiorna));
  aggiorna();
  modulo.al_avviso(controllo, [&schede, controllo, mostra](const NMHDR& avviso) {
    if (avviso.code != static_cast<UINT>(TCN_SELCHANGE)) return;
    const auto scheda = static_cast<int16_t>(SendMessageA(controllo, TCM_GETCURSEL, 0, 0));
    schede.setTab_dall_utente(scheda);
    (*mostra)(scheda);
  });
}

void collega(Window& finestra, Modulo& modulo, std::function<void()> chiudi) {
  HWND hwnd = modulo.hwnd();
  RECT esterno{};
  GetWindowRect(hwnd, &esterno);
  finestra.setSize_dalla_vista(twips(esterno.right - esterno.left),
                               twips(esterno.bottom - esterno.top));
  // Only a position the core sets moves the window: the user may have moved it since.
  auto posizione = std::make_shared<POINT>(POINT{pixel(finestra.Left()), pixel(finestra.Top())});
  auto titolo = std::make_shared<std::string>(testo_di(hwnd));
  auto aggiorna = [&finestra, hwnd, posizione, titolo, chiudi = std::move(chiudi)] {
    mostra_testo(hwnd, finestra.Caption(), *titolo);
    const POINT voluta{pixel(finestra.Left()), pixel(finestra.Top())};
    if (voluta.x != posizione->x || voluta.y != posizione->y) {
      *posizione = voluta;
      SetWindowPos(hwnd, nullptr, voluta.x, voluta.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (finestra.WindowState() == Window::Stato::ridotta && !IsIconic(hwnd))
      ShowWindow(hwnd, SW_MINIMIZE);
    if (finestra.scaricata()) chiudi();
  };
  finche_vive(modulo, finestra.osserva(aggiorna));
  mostra_testo(hwnd, finestra.Caption(), *titolo);
}

VistaTimer::VistaTimer(Timer& timer, Modulo& modulo, std::function<void()> tick)
    : timer_(timer),
      temporizzatore_(
          modulo.ciclo().temporizzatori(), modulo.hwnd(),
          [&ciclo = modulo.ciclo(), tick = std::move(tick)] { protetto(ciclo, tick); }) {
  legame_ = timer_.osserva([this] { aggiorna(); });
  aggiorna();
}

VistaTimer::~VistaTimer() = default;

void VistaTimer::aggiorna() {
  temporizzatore_.imposta(timer_.Enabled(), timer_.Interval());
}

VistaLista::VistaLista(ListBox& lista, HWND controllo, Modulo& modulo)
    : lista_(lista),
      controllo_(controllo),
      rinfresco_(modulo.ciclo().temporizzatori(), modulo.hwnd(), [this] { aggiorna(); }) {
  legame_ = lista_.osserva([this] { cambiata(); });
  aggiorna();
}

VistaLista::~VistaLista() = default;

void VistaLista::cambiata() {
  if (lista_.ListCount() == 0 && righe_mostrate_ > 0) {
    aggiorna();
    return;
  }
  // 25 refreshes a second keep the printed line in sight.
  if (!rinfresco_.attivo()) rinfresco_.imposta(true, 40);
}

void VistaLista::aggiorna() {
  rinfresco_.imposta(false, 0);
  if (!IsWindow(controllo_)) return;
  if (lista_.revisione() != revisione_mostrata_) {
    SendMessageA(controllo_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(controllo_, LB_RESETCONTENT, 0, 0);
    size_t byte = 0;
    for (const std::string& riga : lista_.righe()) byte += riga.size() + 1;
    SendMessageA(controllo_, LB_INITSTORAGE, lista_.righe().size(), static_cast<LPARAM>(byte));
    for (const std::string& riga : lista_.righe())
      SendMessageA(controllo_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(riga.c_str()));
    SendMessageA(controllo_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(controllo_, nullptr, TRUE);
    righe_mostrate_ = lista_.ListCount();
    revisione_mostrata_ = lista_.revisione();
    indice_mostrato_ = -1;
  }
  if (lista_.ListIndex() == indice_mostrato_) return;
  indice_mostrato_ = lista_.ListIndex();
  SendMessageA(controllo_, LB_SETCURSEL, static_cast<WPARAM>(indice_mostrato_), 0);
}

}  // namespace borvan::win32

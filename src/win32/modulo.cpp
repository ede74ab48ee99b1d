#include "win32/modulo.h"

#include "automazione/virgola_mobile.h"
#include "win32/protetto.h"

namespace borvan::win32 {

namespace {

void registra_classe(const char* nome, WNDPROC procedura) {
  WNDCLASSEXA esistente{};
  esistente.cbSize = sizeof esistente;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), nome, &esistente)) return;
  WNDCLASSEXA classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = procedura;
  classe.hInstance = GetModuleHandleA(nullptr);
  // The program's icon is resource 1 (a test program has none: the system's is shown).
  classe.hIcon = LoadIconA(classe.hInstance, MAKEINTRESOURCEA(1));
  classe.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  classe.lpszClassName = nome;
  RegisterClassExA(&classe);
}

// The controls of a window, top-level windows of this thread.
BOOL CALLBACK disabilita(HWND finestra, LPARAM lista) {
  if (IsWindowVisible(finestra) && IsWindowEnabled(finestra)) {
    reinterpret_cast<std::vector<HWND>*>(lista)->push_back(finestra);
    EnableWindow(finestra, FALSE);
  }
  return TRUE;
}

}  // namespace

Modulo::~Modulo() {
  distruggi();
}

void Modulo::distruggi() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void Modulo::crea(const char* classe, const char* titolo, DWORD stile, DWORD stile_esteso,
                  double larghezza, double altezza, const Carattere& carattere) {
  registra_classe(classe, procedura);
  carattere_ = ciclo_.carattere(carattere);
  RECT area{0, 0, pixel(larghezza), pixel(altezza)};
  AdjustWindowRectEx(&area, stile, FALSE, stile_esteso);
  const int w = area.right - area.left, h = area.bottom - area.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  CreateWindowExA(stile_esteso, classe, titolo, stile, x, y, w, h, nullptr, nullptr,
                  GetModuleHandleA(nullptr), this);
}

LRESULT CALLBACK Modulo::procedura(HWND finestra, UINT msg, WPARAM wp, LPARAM lp) {
  // A register control that runs the message loop inside its call brings the program's windows
  // and their timer ticks here with its own floating-point words in force.
  const ParoleDelProgramma parole;
  if (msg == WM_NCCREATE) {
    auto* nuovo = static_cast<Modulo*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    nuovo->hwnd_ = finestra;
    SetWindowLongPtrA(finestra, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nuovo));
    nuovo->ciclo_.aggiungi_finestra(finestra, [nuovo](int16_t codice) { nuovo->tasto(codice); });
  }
  auto* modulo = reinterpret_cast<Modulo*>(GetWindowLongPtrA(finestra, GWLP_USERDATA));
  if (modulo == nullptr) return DefWindowProcA(finestra, msg, wp, lp);
  return modulo->gestisci(msg, wp, lp);
}

HWND Modulo::controllo(const char* classe, const char* testo, DWORD stile, Posto dove,
                       DWORD stile_esteso) {
  HWND figlio = CreateWindowExA(stile_esteso, classe, testo, WS_CHILD | stile, dove.x, dove.y,
                                dove.larghezza, dove.altezza, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(prossimo_id_++)),
                                GetModuleHandleA(nullptr), nullptr);
  SendMessageA(figlio, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), FALSE);
  return figlio;
}

void Modulo::al_comando(HWND controllo, std::function<void(WORD)> gestore) {
  comandi_[controllo] = std::move(gestore);
}
void Modulo::al_disegno(HWND controllo, std::function<void(const DRAWITEMSTRUCT&)> gestore) {
  disegni_[controllo] = std::move(gestore);
}
void Modulo::al_avviso(HWND controllo, std::function<void(const NMHDR&)> gestore) {
  avvisi_[controllo] = std::move(gestore);
}
void Modulo::alla_distruzione(std::function<void()> gestore) {
  distruzione_.push_back(std::move(gestore));
}

void Modulo::esegui_modale() {
  std::vector<HWND> disabilitate;
  EnumThreadWindows(GetCurrentThreadId(), disabilita, reinterpret_cast<LPARAM>(&disabilitate));
  const HWND attiva = GetActiveWindow();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  mostrata();
  ciclo_.modale([this] { return chiuso_ || hwnd_ == nullptr; });
  // The owner takes the activation back before this window goes.
  for (HWND finestra : disabilitate) EnableWindow(finestra, TRUE);
  if (attiva != nullptr && IsWindow(attiva)) SetActiveWindow(attiva);
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void Modulo::distrutta() {
  for (auto& gestore : distruzione_) gestore();
  distruzione_.clear();
  comandi_.clear();
  disegni_.clear();
  avvisi_.clear();
  ciclo_.togli_finestra(hwnd_);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  chiuso_ = true;
}

LRESULT Modulo::gestisci(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT risultato = 0;
  if (messaggio(msg, wp, lp, risultato)) return risultato;
  switch (msg) {
    case WM_COMMAND: {
      const auto trovato = comandi_.find(reinterpret_cast<HWND>(lp));
      if (trovato == comandi_.end()) break;
      const auto gestore = trovato->second;  // the handler may close the window
      gestore(HIWORD(wp));
      return 0;
    }
    case WM_NOTIFY: {
      const auto* avviso = reinterpret_cast<const NMHDR*>(lp);
      const auto trovato = avvisi_.find(avviso->hwndFrom);
      if (trovato == avvisi_.end()) break;
      const auto gestore = trovato->second;
      gestore(*avviso);
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* disegno = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      const auto trovato = disegni_.find(disegno->hwndItem);
      if (trovato == disegni_.end()) break;
      trovato->second(*disegno);
      return TRUE;
    }
    case WM_TIMER:
      if (ciclo_.temporizzatori().segnale(wp)) return 0;
      break;
    case WM_SETCURSOR:
      if (ciclo_.puntatore_attesa()) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // The focus goes back where it was when the window is activated again.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND fuoco = GetFocus();
        if (fuoco != nullptr && IsChild(hwnd_, fuoco)) fuoco_ = fuoco;
      } else {
        if (fuoco_ == nullptr || !IsWindow(fuoco_) || !IsWindowVisible(fuoco_))
          fuoco_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (fuoco_ == nullptr) break;
        SetFocus(fuoco_);
      }
      return 0;
    case WM_CLOSE:
      protetto(ciclo_, [this] { chiusura(); });
      return 0;
    case WM_NCDESTROY: {
      const HWND finestra = hwnd_;
      distrutta();
      return DefWindowProcA(finestra, msg, wp, lp);
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace borvan::win32

#include "win32/ciclo.h"

#include <algorithm>
#include <utility>

#include "win32/protetto.h"

namespace borvan::win32 {

void Ciclo::aggiungi_finestra(HWND finestra, std::function<void(int16_t)> tasto) {
  finestre_[finestra] = std::move(tasto);
}

void Ciclo::togli_finestra(HWND finestra) {
  finestre_.erase(finestra);
}

void Ciclo::smista(MSG& msg) {
  HWND radice = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  const auto finestra = radice != nullptr ? finestre_.find(radice) : finestre_.end();
  if (finestra != finestre_.end()) {
    int16_t codice = 0;
    if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) {
      if (msg.wParam == VK_RETURN) codice = 13;
      if (msg.wParam == VK_ESCAPE) codice = 27;
    }
    if (codice != 0) {
      // The handler may close the window.
      const auto tasto = finestra->second;
      if (msg.message == WM_KEYDOWN) protetto(*this, [&] { tasto(codice); });
      return;
    }
    if (IsDialogMessageA(radice, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

// Sleeps until a message comes or an object of the loop's is signalled, whose callback runs.
// Input already in the queue wakes it too: a control may have looked at it without taking it.
void Ciclo::attendi() {
  const std::vector<const Attesa*> tutte = attese_;  // a callback may add or remove one
  std::vector<HANDLE> oggetti;
  for (const Attesa* attesa : tutte) oggetti.push_back(attesa->oggetto());
  const DWORD quanti = static_cast<DWORD>(std::min<size_t>(oggetti.size(), 63));
  const DWORD esito = MsgWaitForMultipleObjectsEx(quanti, oggetti.data(), INFINITE, QS_ALLINPUT,
                                                  MWMO_INPUTAVAILABLE);
  if (esito >= WAIT_OBJECT_0 + quanti) return;  // a message, or a failure: the queue decides
  const Attesa* segnalata = tutte[esito - WAIT_OBJECT_0];
  if (std::find(attese_.begin(), attese_.end(), segnalata) != attese_.end()) segnalata->segnalato();
}

void Ciclo::modale(const std::function<bool()>& finito) {
  MSG msg;
  while (!finito()) {
    const BOOL esito = GetMessageA(&msg, nullptr, 0, 0);
    if (esito == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (esito < 0) return;
    smista(msg);
  }
}

int Ciclo::principale() {
  using namespace std::chrono_literals;
  MSG msg;
  for (;;) {
    // Messages first: a click, a repaint and the window timers are never starved by a job.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      smista(msg);
    }
    if (temporizzatori_.raffica(1ms)) continue;
    // Nothing to run until the next message or object.
    attendi();
  }
}

void Ciclo::elabora_messaggi(std::chrono::milliseconds durata) {
  const auto fine = Orologio::now() + durata;
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      smista(msg);
    }
    const auto resto = std::chrono::ceil<std::chrono::milliseconds>(fine - Orologio::now());
    if (resto.count() <= 0) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(resto.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void Ciclo::imposta_puntatore_attesa(bool attesa) {
  if (attesa == puntatore_attesa_) return;
  puntatore_attesa_ = attesa;
  // The pointer changes at once where it stands over one of the program's windows.
  POINT dove{};
  if (!GetCursorPos(&dove)) return;
  HWND sotto = WindowFromPoint(dove);
  if (sotto == nullptr || finestre_.count(GetAncestor(sotto, GA_ROOT)) == 0) return;
  const LRESULT zona = SendMessageA(sotto, WM_NCHITTEST, 0, MAKELPARAM(dove.x, dove.y));
  SendMessageA(sotto, WM_SETCURSOR, reinterpret_cast<WPARAM>(sotto),
               MAKELPARAM(static_cast<WORD>(zona), WM_MOUSEMOVE));
}

Attesa::Attesa(Ciclo& ciclo, HANDLE oggetto, std::function<void()> segnalato)
    : ciclo_(ciclo), oggetto_(oggetto), segnalato_(std::move(segnalato)) {
  ciclo_.attese_.push_back(this);
}

Attesa::~Attesa() {
  auto& tutte = ciclo_.attese_;
  tutte.erase(std::remove(tutte.begin(), tutte.end(), this), tutte.end());
}

}  // namespace borvan::win32

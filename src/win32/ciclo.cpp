#include "win32/ciclo.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "win32/modulo.h"
#include "win32/temporizzatori.h"

namespace borvan::win32 {

namespace {

// Enter and Esc go to the form, whichever control has the focus; nothing else sees them.
bool anteprima(const MSG& msg, Modulo* modulo) {
  if (modulo == nullptr) return false;
  if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
  int16_t codice = 0;
  if (msg.wParam == VK_RETURN) codice = 13;
  if (msg.wParam == VK_ESCAPE) codice = 27;
  if (codice == 0) return false;
  if (msg.message == WM_KEYDOWN) protetto([&] { modulo->tasto(codice); });
  return true;
}

std::vector<const Attesa*>& attese() {
  static std::vector<const Attesa*> tutte;
  return tutte;
}

// Sleeps until a message comes or an object of the loop's is signalled, whose callback runs.
void attendi() {
  const std::vector<const Attesa*> tutte = attese();  // a callback may add or remove one
  std::vector<HANDLE> oggetti;
  for (const Attesa* attesa : tutte) oggetti.push_back(attesa->oggetto());
  const DWORD quanti = static_cast<DWORD>(std::min<size_t>(oggetti.size(), 63));
  const DWORD esito =
      MsgWaitForMultipleObjects(quanti, oggetti.data(), FALSE, INFINITE, QS_ALLINPUT);
  if (esito >= WAIT_OBJECT_0 + quanti) return;  // a message, or a failure: the queue decides
  const Attesa* segnalata = tutte[esito - WAIT_OBJECT_0];
  const auto& vive = attese();
  if (std::find(vive.begin(), vive.end(), segnalata) != vive.end()) segnalata->segnalato();
}

}  // namespace

Attesa::Attesa(HANDLE oggetto, std::function<void()> segnalato)
    : oggetto_(oggetto), segnalato_(std::move(segnalato)) {
  attese().push_back(this);
}

Attesa::~Attesa() {
  auto& tutte = attese();
  tutte.erase(std::remove(tutte.begin(), tutte.end(), this), tutte.end());
}

void smista(MSG& msg) {
  HWND radice = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  Modulo* modulo = Modulo::di(radice);
  if (anteprima(msg, modulo)) return;
  if (modulo != nullptr && IsDialogMessageA(radice, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void ciclo_modale(const std::function<bool()>& finito) {
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

int ciclo_principale() {
  using namespace std::chrono_literals;
  MSG msg;
  for (;;) {
    // Messages first: a click, a repaint and the window timers are never starved by a job.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      smista(msg);
    }
    if (raffica(1ms)) continue;
    // Nothing to run until the next message or object.
    attendi();
  }
}

void elabora_messaggi(std::chrono::milliseconds durata) {
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
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(resto.count()), QS_ALLINPUT);
  }
}

}  // namespace borvan::win32

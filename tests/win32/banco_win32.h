#pragma once

// Drives the real windows from a test: runs the message loop until a condition holds, and acts
// from inside modal loops (message boxes, dialogs) through a thread timer, as a person would.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "win32/ciclo.h"

namespace borvan::test {

inline void prepara_controlli() {
  INITCOMMONCONTROLSEX controlli{};
  controlli.dwSize = sizeof controlli;
  controlli.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controlli);
}

// Runs messages until the condition holds or ten seconds have passed.
inline bool attendi(const std::function<bool()>& condizione) {
  const auto fine = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  MSG msg;
  while (!condizione()) {
    if (std::chrono::steady_clock::now() > fine) return false;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      win32::smista(msg);
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Steps run in turn from inside whatever loop is running, every 10 ms: each runs again until it
// answers true. A step that waits longer than ten seconds fails the test and is dropped.
class Copione {
 public:
  Copione() {
    attivo_ = this;
    id_ = SetTimer(nullptr, 0, 10, &Copione::scatto);
  }
  ~Copione() {
    KillTimer(nullptr, id_);
    attivo_ = nullptr;
  }
  Copione(const Copione&) = delete;
  Copione& operator=(const Copione&) = delete;

  Copione& poi(std::function<bool()> passo) {
    passi_.push_back(std::move(passo));
    return *this;
  }
  bool finito() const { return passi_.empty(); }

 private:
  static void CALLBACK scatto(HWND, UINT, UINT_PTR, DWORD) {
    Copione* c = attivo_;
    if (c == nullptr || c->passi_.empty() || c->in_corso_) return;
    const auto ora = std::chrono::steady_clock::now();
    if (c->inizio_passo_ == std::chrono::steady_clock::time_point{}) c->inizio_passo_ = ora;
    c->in_corso_ = true;
    const bool fatto = c->passi_.front()();
    c->in_corso_ = false;
    if (!fatto && ora - c->inizio_passo_ < std::chrono::seconds(10)) return;
    EXPECT_TRUE(fatto) << "un passo del copione non si e' compiuto";
    c->passi_.pop_front();
    c->inizio_passo_ = {};
  }

  static inline Copione* attivo_ = nullptr;
  UINT_PTR id_ = 0;
  bool in_corso_ = false;
  std::chrono::steady_clock::time_point inizio_passo_{};
  std::deque<std::function<bool()>> passi_;
};

// Keeps the first message box of the program's own ("#32770" captioned BorvanIF); a named
// function, since a 32-bit callback must be stdcall and a lambda is not.
inline BOOL CALLBACK cerca_casella(HWND finestra, LPARAM esito) {
  char classe[16] = {}, titolo[16] = {};
  GetClassNameA(finestra, classe, sizeof classe);
  GetWindowTextA(finestra, titolo, sizeof titolo);
  if (lstrcmpA(classe, "#32770") != 0 || lstrcmpA(titolo, "BorvanIF") != 0) return TRUE;
  *reinterpret_cast<HWND*>(esito) = finestra;
  return FALSE;
}

// The message box this test shows, if any (other programs under the same display may show
// theirs), and its text.
inline HWND casella_messaggio() {
  HWND trovata = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), cerca_casella, reinterpret_cast<LPARAM>(&trovata));
  return trovata;
}
inline std::string testo_casella(HWND casella) {
  char testo[512] = {};
  GetDlgItemTextA(casella, 0xFFFF, testo, sizeof testo);
  return testo;
}

// A key pressed where the focus is.
inline void premi(HWND controllo, WPARAM tasto) {
  SetFocus(controllo);
  PostMessageA(controllo, WM_KEYDOWN, tasto, 1);
  PostMessageA(controllo, WM_KEYUP, tasto, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace borvan::test

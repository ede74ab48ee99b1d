#pragma once

// Drives the real windows from a test: acts from inside modal loops (message boxes, dialogs)
// through a thread timer, as a person would.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace borvan::test {

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

// The program's message box ("#32770" captioned BorvanIF) this test shows, if any: other
// programs under the same display may show theirs.
inline HWND casella_messaggio() {
  HWND casella = nullptr;
  while ((casella = FindWindowExA(nullptr, casella, "#32770", "BorvanIF")) != nullptr)
    if (GetWindowThreadProcessId(casella, nullptr) == GetCurrentThreadId()) return casella;
  return nullptr;
}

}  // namespace borvan::test

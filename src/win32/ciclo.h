#pragma once

// The program's message loops: the main one, which also runs the fast timer's bursts, and the
// modal windows' own.

#include <windows.h>

#include <chrono>
#include <functional>

namespace borvan::win32 {

// Hands a message to its window: first the form's key preview (Enter, Esc), then the dialog
// keys (Tab, arrows, Alt+letter), then the window itself.
void smista(MSG& msg);

// A modal window's loop: runs messages until `finito` holds. A WM_QUIT met here is left for
// the main loop.
void ciclo_modale(const std::function<bool()>& finito);

// A kernel object the main loop waits for beside its messages (a folder's change notification):
// for as long as this lives, the loop runs `segnalato` whenever it finds the object signalled.
// `segnalato` resets the object and throws nothing: it runs even while the program ends.
class Attesa {
 public:
  Attesa(HANDLE oggetto, std::function<void()> segnalato);
  ~Attesa();
  Attesa(const Attesa&) = delete;
  Attesa& operator=(const Attesa&) = delete;

  HANDLE oggetto() const { return oggetto_; }
  void segnalato() const { segnalato_(); }

 private:
  HANDLE oggetto_;
  std::function<void()> segnalato_;
};

// The program's loop, until WM_QUIT (its code is returned). While a 1 ms timer runs, its ticks
// are called in bursts between looks at the queue, about once a millisecond. Otherwise it
// sleeps until a message comes or an `Attesa`'s object is signalled.
int ciclo_principale();

// Runs messages for `durata` (zero: those waiting), as a register control does while it waits
// inside a call. A WM_QUIT met here is left for the main loop.
void elabora_messaggi(std::chrono::milliseconds durata);

}  // namespace borvan::win32

#pragma once

// The program's message loop and what it keeps for the windows it runs: their timers, the
// kernel objects it waits for beside the messages, the windows whose keys it sees first, the
// wait pointer, the forms' fonts, and whether the core's handlers may still run. One for the
// program's life; every window is given it.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "win32/schermo_win32.h"
#include "win32/temporizzatori.h"

namespace borvan::win32 {

class Attesa;

class Ciclo {
 public:
  Ciclo() = default;
  Ciclo(const Ciclo&) = delete;
  Ciclo& operator=(const Ciclo&) = delete;

  // The program's loop, until WM_QUIT (its code is returned). While a 1 ms timer runs, its
  // ticks are called in bursts between looks at the queue, about once a millisecond. Otherwise
  // it sleeps until a message comes or an `Attesa`'s object is signalled.
  int principale();
  // A modal window's loop: runs messages until `finito` holds. A WM_QUIT met here is left for
  // the main loop.
  void modale(const std::function<bool()>& finito);
  // Runs messages for `durata` (zero: those waiting), as a register control does while it
  // waits inside a call. A WM_QUIT met here is left for the main loop.
  void elabora_messaggi(std::chrono::milliseconds durata);

  // A top-level window of the program, from its creation to its end: the loop hands it Enter
  // (13) and Esc (27) whichever of its controls has the focus, and nothing else sees them; then
  // the dialog keys (Tab, arrows, Alt+letter).
  void aggiungi_finestra(HWND finestra, std::function<void(int16_t)> tasto);
  void togli_finestra(HWND finestra);

  // From now on no event handler of the core runs: the program is ending, and what still
  // delivers messages (a control being let go) must not start anything.
  void ferma_gestori() { gestori_fermi_ = true; }
  bool gestori_fermi() const { return gestori_fermi_; }

  // The application-wide pointer: the wait cursor over every window of the program, or each
  // control's own.
  void imposta_puntatore_attesa(bool attesa);
  bool puntatore_attesa() const { return puntatore_attesa_; }

  Temporizzatori& temporizzatori() { return temporizzatori_; }
  HFONT carattere(const Carattere& disegno = {}) { return caratteri_.carattere(disegno); }

 private:
  friend class Attesa;

  // Hands a message to its window: first the form's key preview, then the dialog keys, then
  // the window itself.
  void smista(MSG& msg);
  void attendi();

  Temporizzatori temporizzatori_;
  std::vector<const Attesa*> attese_;
  std::unordered_map<HWND, std::function<void(int16_t)>> finestre_;
  Caratteri caratteri_;
  bool gestori_fermi_ = false;
  bool puntatore_attesa_ = false;
};

// A kernel object the main loop waits for beside its messages (a folder's change notification):
// for as long as this lives, the loop runs `segnalato` whenever it finds the object signalled.
// `segnalato` resets the object and throws nothing: it runs even while the program ends.
class Attesa {
 public:
  Attesa(Ciclo& ciclo, HANDLE oggetto, std::function<void()> segnalato);
  ~Attesa();
  Attesa(const Attesa&) = delete;
  Attesa& operator=(const Attesa&) = delete;

  HANDLE oggetto() const { return oggetto_; }
  void segnalato() const { segnalato_(); }

 private:
  Ciclo& ciclo_;
  HANDLE oggetto_;
  std::function<void()> segnalato_;
};

}  // namespace borvan::win32

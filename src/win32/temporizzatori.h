#pragma once

// Window timers that know when they are due. A window timer is delivered at most every 10-16
// ms, which would cap a job at some 64-100 lines a second: while a timer of 1 ms runs, the
// main loop calls its ticks itself, in bursts (`raffica`), and fires first any other timer that
// has fallen due meanwhile, so that a time-out ends a job right after the line in progress.
// The window timer keeps running beneath, so that ticks also arrive inside modal loops.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace borvan::win32 {

using Orologio = std::chrono::steady_clock;

class Temporizzatore;

// The program's live timers, kept by its message loop.
class Temporizzatori {
 public:
  Temporizzatori() = default;
  Temporizzatori(const Temporizzatori&) = delete;
  Temporizzatori& operator=(const Temporizzatori&) = delete;

  // Runs the 1 ms timer's ticks for about `durata`, each after any other timer that is due.
  // False when no such timer runs.
  bool raffica(std::chrono::microseconds durata);

  // A WM_TIMER for `id`: fires its timer unless the main loop has just fired it itself. False
  // when `id` is no timer of these.
  bool segnale(UINT_PTR id);

 private:
  friend class Temporizzatore;

  bool vivo(const Temporizzatore* t) const;
  void scatta_scaduti();

  // A tick may create or destroy timers (a dialog's), so walks take a copy.
  std::vector<Temporizzatore*> tutti_;
};

class Temporizzatore {
 public:
  // `finestra` receives the timer's WM_TIMER and hands it to `registro.segnale`.
  Temporizzatore(Temporizzatori& registro, HWND finestra, std::function<void()> scatto);
  ~Temporizzatore();
  Temporizzatore(const Temporizzatore&) = delete;
  Temporizzatore& operator=(const Temporizzatore&) = delete;

  // Starts counting again from now, or stops.
  void imposta(bool attivo, int32_t millisecondi);
  bool attivo() const { return attivo_; }
  // A timer of 1 ms means "as often as possible".
  bool veloce() const { return attivo_ && intervallo_ <= 1; }
  Orologio::time_point scadenza() const { return scadenza_; }

  // Fires now: counts the next interval from now and runs the tick.
  void scatta();

 private:
  friend class Temporizzatori;

  Temporizzatori& registro_;
  HWND finestra_;
  std::function<void()> scatto_;
  bool attivo_ = false;
  int32_t intervallo_ = 0;
  Orologio::time_point scadenza_{};
};

}  // namespace borvan::win32

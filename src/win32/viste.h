#pragma once

// Binds the core's controls to Win32 controls: the core's changes reach the control, the
// user's changes reach the core, clicks and ticks reach the handlers. Each view stops observing
// its core control when its window goes.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "support/controlli.h"
#include "win32/modulo.h"
#include "win32/temporizzatori.h"

namespace borvan::win32 {

void collega(Label& etichetta, HWND controllo, Modulo& modulo);
void collega(Button& pulsante, HWND controllo, Modulo& modulo, std::function<void()> click);
void collega(TextBox& casella, HWND controllo, Modulo& modulo);
void collega(CheckBox& casella, HWND controllo, Modulo& modulo);
// `mostrata` runs whenever the selected tab changes, by the program or by the user.
void collega(TabStrip& schede, HWND controllo, Modulo& modulo, std::function<void(int)> mostrata);
// The window's caption, position, state and unloading; `chiudi` closes the real window.
void collega(Window& finestra, Modulo& modulo, std::function<void()> chiudi);

// A core timer over a window timer; 1 ms means "as often as possible" (see Temporizzatore).
class VistaTimer {
 public:
  VistaTimer(Timer& timer, Modulo& modulo, std::function<void()> tick);
  ~VistaTimer();
  VistaTimer(const VistaTimer&) = delete;
  VistaTimer& operator=(const VistaTimer&) = delete;

 private:
  void aggiorna();

  Timer& timer_;
  Legame legame_;
  Temporizzatore temporizzatore_;
};

// The list box. It follows the core by time, not line by line: its lines are loaded in one go
// with drawing off, and its selection moves some 25 times a second, so that a job of
// thousands of lines a second costs a few repaints a second. An emptied list shows at once.
class VistaLista {
 public:
  VistaLista(ListBox& lista, HWND controllo, Modulo& modulo);
  ~VistaLista();
  VistaLista(const VistaLista&) = delete;
  VistaLista& operator=(const VistaLista&) = delete;

  // Brings the control up to date now (the refresh timer does it otherwise).
  void aggiorna();

 private:
  void cambiata();

  ListBox& lista_;
  HWND controllo_;
  Legame legame_;
  Temporizzatore rinfresco_;
  int righe_mostrate_ = 0;
  uint64_t revisione_mostrata_ = 0;
  int16_t indice_mostrato_ = -1;
};

}  // namespace borvan::win32

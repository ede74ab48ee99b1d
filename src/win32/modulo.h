#pragma once

// A window of the program (main window or dialog): its controls placed in twips, their
// notifications routed to handlers, its keys seen before the control that has the focus.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "win32/ciclo.h"
#include "win32/schermo_win32.h"

namespace borvan::win32 {

class Modulo {
 public:
  explicit Modulo(Ciclo& ciclo) : ciclo_(ciclo) {}
  virtual ~Modulo();
  Modulo(const Modulo&) = delete;
  Modulo& operator=(const Modulo&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The loop that runs the window, its timers and its handlers.
  Ciclo& ciclo() const { return ciclo_; }
  // Destroys the window. A form calls it in its own destructor, while the core controls its
  // views observe still exist.
  void distruggi();

  // A child control at its place; controls take the focus in the order they are created.
  HWND controllo(const char* classe, const char* testo, DWORD stile, Posto dove,
                 DWORD stile_esteso = 0);
  // Notifications of a control: WM_COMMAND (its code), WM_DRAWITEM, WM_NOTIFY.
  void al_comando(HWND controllo, std::function<void(WORD)> gestore);
  void al_disegno(HWND controllo, std::function<void(const DRAWITEMSTRUCT&)> gestore);
  void al_avviso(HWND controllo, std::function<void(const NMHDR&)> gestore);
  // Runs when the window goes: the views stop observing the core's controls.
  void alla_distruzione(std::function<void()> gestore);

  // Key preview of Enter (13) and Esc (27), whichever control has the focus. No window of the
  // program has a default or cancel button: these keys do only what the form does with them.
  virtual void tasto(int16_t /*codice*/) {}

  // Shows the window and runs messages until it is closed; meanwhile the program's other
  // windows take no input. Then the window is destroyed.
  void esegui_modale();
  void chiudi() { chiuso_ = true; }
  bool chiuso() const { return chiuso_; }

 protected:
  // Creates the window, hidden, with its client area in twips, centred on the screen; its
  // controls take `carattere`.
  void crea(const char* classe, const char* titolo, DWORD stile, DWORD stile_esteso,
            double larghezza, double altezza, const Carattere& carattere = {});
  // The window's own messages; true when handled, with the result.
  virtual bool messaggio(UINT /*msg*/, WPARAM, LPARAM, LRESULT&) { return false; }
  // The title bar's close (and Alt+F4).
  virtual void chiusura() { chiudi(); }
  // Runs when a modal window has just been shown, before its messages run.
  virtual void mostrata() {}

 private:
  static LRESULT CALLBACK procedura(HWND finestra, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT gestisci(UINT msg, WPARAM wp, LPARAM lp);
  void distrutta();

  Ciclo& ciclo_;
  HWND hwnd_ = nullptr;
  HFONT carattere_ = nullptr;
  int prossimo_id_ = 100;
  bool chiuso_ = false;
  HWND fuoco_ = nullptr;  // the control that had the focus when the window was deactivated
  std::unordered_map<HWND, std::function<void(WORD)>> comandi_;
  std::unordered_map<HWND, std::function<void(const DRAWITEMSTRUCT&)>> disegni_;
  std::unordered_map<HWND, std::function<void(const NMHDR&)>> avvisi_;
  std::vector<std::function<void()>> distruzione_;
};

}  // namespace borvan::win32

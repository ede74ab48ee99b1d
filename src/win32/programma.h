#pragma once

#include <memory>
#include <string>

#include "app/principale.h"
#include "errors/errori_comuni.h"
#include "win32/ambiente_win32.h"
#include "win32/ciclo.h"
#include "win32/finestra_principale.h"
#include "win32/operatore_win32.h"

namespace borvan {
class DriverRiprova;
}

namespace borvan::win32 {

// The common controls the windows are made of; call once, before any window.
void prepara_applicazione();

// The program as it runs: the message loop, the operator, the common error routine, the
// system, the main window and its view, wired in the one order they need. The configuration
// command shows the real configuration dialog. The register's control lives in a hidden child
// of the main window and goes before it, as the program ends.
class Programma {
 public:
  // `cartella` is the executable's folder; without a driver, the register's own control.
  explicit Programma(const std::string& cartella, std::unique_ptr<DriverEcr> driver = nullptr);
  ~Programma();
  Programma(const Programma&) = delete;
  Programma& operator=(const Programma&) = delete;

  // Loads the main window and shows it: false when another instance runs. The register's
  // control is created here, once this is the only instance: a second start never touches
  // the register.
  bool avvia();
  // Runs the main loop until WM_QUIT, whose code it returns, and lets the register's control go.
  int esegui();

  const std::string& cartella_eseguibile() const { return cartella_eseguibile_; }
  Ciclo& ciclo() { return ciclo_; }
  OperatoreWin32& operatore() { return operatore_; }
  ErroriComuni& errori() { return errori_; }
  AmbienteWin32& ambiente() { return ambiente_; }
  Principale& principale() { return principale_; }
  FinestraPrincipale& finestra() { return finestra_; }

 private:
  std::unique_ptr<DriverEcr> driver_del_registratore();
  void rilascia_controllo();

  std::string cartella_eseguibile_;
  // OLE on the window's thread for the program's life: the register's control, created again
  // at each job while it cannot be, finds it there. Not initialised (the thread already in
  // another apartment), the control is refused at each job.
  const bool ole_;
  Ciclo ciclo_;
  OperatoreWin32 operatore_;
  ErroriComuni errori_;
  AmbienteWin32 ambiente_;
  DriverRiprova* registratore_ = nullptr;  // the register's own control, when it is the driver
  Principale principale_;
  FinestraPrincipale finestra_;
};

}  // namespace borvan::win32

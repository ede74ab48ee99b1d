#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/principale.h"
#include "errors/errori_comuni.h"
#include "qt/ambiente_qt.h"
#include "qt/finestra_principale.h"
#include "qt/operatore_qt.h"

namespace borvan::qt {

// The application's name and icon; call once the QApplication exists.
void prepara_applicazione();

// The program as it runs: the operator, the common error routine, the system, the main window
// and its view, wired in the one order they need. The configuration command shows the real
// configuration dialog over the main window.
class Programma {
 public:
  // `cartella` is the executable's folder; without a driver, the platform's own.
  explicit Programma(const QString& cartella, std::unique_ptr<DriverEcr> driver = nullptr);

  // Loads the main window and shows it: false when another instance runs.
  bool avvia();

  const std::string& cartella_eseguibile() const { return cartella_eseguibile_; }
  OperatoreQt& operatore() { return operatore_; }
  ErroriComuni& errori() { return errori_; }
  AmbienteQt& ambiente() { return ambiente_; }
  Principale& principale() { return principale_; }
  FinestraPrincipale& finestra() { return finestra_; }

 private:
  std::string cartella_eseguibile_;
  OperatoreQt operatore_;
  ErroriComuni errori_;
  AmbienteQt ambiente_;
  Principale principale_;
  FinestraPrincipale finestra_;
};

}  // namespace borvan::qt

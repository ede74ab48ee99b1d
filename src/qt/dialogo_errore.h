#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <string>

#include "errors/form_errore.h"

namespace borvan::qt {

// The error dialog "ERRORE" over its core. Enter and Esc reach the core whichever control has
// the focus; closing it any other way leaves the answer the load gave (retry).
class DialogoErrore : public QDialog {
 public:
  DialogoErrore(const std::string& testo_errore, int32_t& risposta_errore, Operatore& operatore,
                GestoreErrori& errori, QWidget* genitore = nullptr);

  // Loads the core (centring the window) and runs the dialog modally.
  void esegui();

  Form_errore& form() { return form_; }
  QTabWidget* sstab1;
  QLabel* label1;
  QLabel* label2;
  QPushButton* command1;
  QPushButton* command2;

 private:
  Form_errore form_;
};

}  // namespace borvan::qt

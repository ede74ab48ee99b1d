#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "config/form_config.h"

namespace borvan::qt {

// The configuration dialog "Configurazione" over its core. Esc reaches the core whichever
// control has the focus; Enter presses nothing; closing it any other way is a cancel.
class DialogoConfig : public QDialog {
 public:
  DialogoConfig(const std::string& cartella_eseguibile, Operatore& operatore, GestoreErrori& errori,
                QWidget* genitore = nullptr);

  // Loads the boxes from the file and runs the dialog modally until it is unloaded.
  void esegui();
  // The title bar's close and the like: a cancel.
  void reject() override;

  Config& form() { return form_; }
  QLabel* label1;
  QLabel* label2;
  QLabel* label3;
  QLabel* label4;
  QLabel* label5;
  QLabel* label6;
  QLineEdit* text1;
  QLineEdit* text2;
  QLineEdit* text3;
  QLineEdit* text4;
  QLineEdit* text5;
  QLineEdit* text6;
  QCheckBox* check1;
  QPushButton* command1;
  QPushButton* command2;
  QPushButton* command3;
  QPushButton* command4;
  QPushButton* command5;
  QPushButton* command6;

 private:
  Config form_;
};

// The user's decimal separator, as far as the program's own number reading takes it back.
char separatore_decimale_utente();

}  // namespace borvan::qt

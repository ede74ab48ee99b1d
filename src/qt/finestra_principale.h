#pragma once

#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QWidget>

#include "app/principale.h"
#include "qt/viste.h"

namespace borvan::qt {

// The main window "BORVAN INTERFACE" over its core.
class FinestraPrincipale : public QWidget {
 public:
  explicit FinestraPrincipale(Principale& principale);

  QLabel* label1;
  QLabel* label2;
  QListView* list2;
  QPushButton* command1;
  QPushButton* command2;
  QPushButton* command3;
  QPushButton* command4;
  VistaLista* vista_lista;

 protected:
  // Closing through the title bar asks the close button's question.
  void closeEvent(QCloseEvent* evento) override;

 private:
  Principale& principale_;
};

}  // namespace borvan::qt

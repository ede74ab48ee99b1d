#pragma once

// Binds the core's controls to Qt widgets: the core's changes reach the widget, the user's
// changes reach the core, the toolkit's ticks and clicks reach the handlers.

#include <QAbstractListModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <initializer_list>

#include "qt/schermo_qt.h"
#include "support/controlli.h"

namespace borvan::qt {

// Key preview: `finestra` sees every key before the control that has the focus. The keys its
// Form_KeyPress answers (Enter as 13, Esc as 27, among `codici`) go to it and no further; the
// others go on to the control. Call it when all of the window's controls exist.
void anteprima_tasti(QWidget* finestra, std::initializer_list<int16_t> codici,
                     std::function<void(int16_t&)> form_keypress);

// Each view holds its control through a link (support/controlli.h) kept as long as its widget
// lives: neither a freed widget nor a freed control is ever called.
void collega(Label& etichetta, QLabel* widget);
void collega(Button& pulsante, QPushButton* widget, std::function<void()> click);
// A text box shows program texts, or file names when given `percorsi`.
void collega(TextBox& casella, QLineEdit* widget, const Conversione& conversione = testi);
void collega(CheckBox& casella, QCheckBox* widget);
void collega(TabStrip& schede, QTabWidget* widget);
// The window's caption, position, state and unloading; `chiudi` closes the real window.
void collega(Window& finestra, QWidget* widget, std::function<void()> chiudi);

// A core timer over a QTimer. An interval of 1 ms means "as often as the platform delivers
// ticks": it runs as a zero timer, which fires on every pass of the event loop.
class VistaTimer : public QObject {
 public:
  VistaTimer(Timer& timer, std::function<void()> tick, QObject* genitore);

 private:
  void aggiorna();

  Timer& timer_;
  Legame legame_;
  QTimer qtimer_;
};

// The list box over a view of its own lines, without copying them. The view follows the core
// at most at the display's rate, so that a job of thousands of lines costs one repaint a frame.
class VistaLista : public QAbstractListModel {
 public:
  VistaLista(ListBox& lista, QListView* vista);

  int rowCount(const QModelIndex& genitore) const override;
  QVariant data(const QModelIndex& indice, int ruolo) const override;

  // Brings the view up to date now (the tests call it; the refresh timer does it otherwise).
  void aggiorna();

 private:
  ListBox& lista_;
  Legame legame_;
  QListView* vista_;
  QTimer rinfresco_;
  int righe_mostrate_ = 0;
  uint64_t revisione_mostrata_ = 0;
  int16_t indice_mostrato_ = -1;
};

}  // namespace borvan::qt

#pragma once

// A form drawn from its design (support/disegno.h).

#include <QWidget>
#include <stdexcept>
#include <string>

#include "support/disegno.h"

namespace borvan::qt {

// Gives the form its design's size and font, and creates its controls: each a widget named as
// its control, at its place, with its caption, font and colours, in the design's tab order.
void crea_controlli(QWidget* finestra, const DisegnoModulo& disegno);

// The widget of the control the design names.
template <class Widget>
Widget* controllo(const QWidget* finestra, const char* nome) {
  auto* widget = finestra->findChild<Widget*>(nome, Qt::FindDirectChildrenOnly);
  if (widget == nullptr) throw std::out_of_range(std::string("nessun controllo ") + nome);
  return widget;
}

}  // namespace borvan::qt

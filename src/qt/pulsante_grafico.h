#pragma once

// The graphical buttons: a background colour of their own, or a picture above the caption.

#include <QPushButton>

#include "support/disegno.h"

namespace borvan::qt {

QPushButton* pulsante_grafico(QWidget* genitore, const DisegnoControllo& disegno);

}  // namespace borvan::qt

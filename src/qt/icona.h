#pragma once

#include <QIcon>

namespace borvan::qt {

// The program's icon: a receipt coming out of a register, 32 x 32.
QIcon icona_programma();

}  // namespace borvan::qt

#include "qt/protetto.h"

#include <QtGlobal>
#include <exception>

#include "support/nome_programma.h"

namespace borvan::qt {

void protetto(const std::function<void()>& gestore) {
  // The core traps its run-time errors; anything that still escapes must not reach the
  // toolkit's event loop, which cannot unwind through it.
  try {
    gestore();
  } catch (const std::exception& e) {
    qWarning("%s: errore non gestito: %s", nome_programma, e.what());
  } catch (...) {
    qWarning("%s: errore non gestito", nome_programma);
  }
}

}  // namespace borvan::qt

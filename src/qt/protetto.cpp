#include "qt/protetto.h"

#include <QtGlobal>

#include "support/nome_programma.h"
#include "support/protetto.h"

namespace borvan::qt {

void protetto(const std::function<void()>& gestore) {
  // The core traps its run-time errors; anything that still escapes must not reach the
  // toolkit's event loop, which cannot unwind through it.
  if (const auto sfuggito = esegui_protetto(gestore))
    qWarning("%s: errore non gestito: %s", nome_programma, sfuggito->c_str());
}

}  // namespace borvan::qt

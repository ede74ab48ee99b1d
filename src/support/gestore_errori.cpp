#include "support/gestore_errori.h"

namespace borvan {

bool gestisci_errore(GestoreErrori& gestore, const ErroreRuntime& errore) {
  int32_t linea = 0;  // statements carry no line numbers here
  return gestore.elabora_errore(errore, linea) == risposta_riprova;
}

}  // namespace borvan

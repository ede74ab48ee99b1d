// Number reading over any text: a finite number or the overflow error, and a number written
// back as text reads again as a finite number.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/errore_runtime.h"
#include "support/numeri.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string testo(reinterpret_cast<const char*>(dati), dimensione);
  double valore = 0;
  try {
    valore = borvan::leggi_numero(testo);
  } catch (const borvan::ErroreRuntime& errore) {
    if (errore.numero() != borvan::codice_errore::overflow) __builtin_trap();
    return 0;
  }
  if (!std::isfinite(valore)) __builtin_trap();
  borvan::leggi_intero(testo);
  for (const char separatore : {'.', ','}) {
    if (!std::isfinite(borvan::leggi_numero(borvan::numero_in_testo(valore, separatore))))
      __builtin_trap();
  }
  return 0;
}

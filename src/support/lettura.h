#pragma once

// The read loops the platforms' routines share: a file's content, and a text the system writes
// into a buffer of the caller's.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/file.h"
#include "support/sistema.h"

namespace borvan {

// Reads to the end into `letto`, whose identity gives the size to expect: at most `massimo`
// bytes and one more, so that the caller can tell a file that is too long; the identity gets the
// fingerprint of what was read. `leggi(dove,
// quanti)` reads at most `quanti` bytes and answers how many, 0 at the end; it throws on a
// failure.
template <class Leggi>
void leggi_a_blocchi(FileLetto& letto, uint64_t massimo, Leggi leggi) {
  const uint64_t limite = massimo + 1;
  letto.contenuto.resize(
      static_cast<size_t>(std::min<uint64_t>(limite, letto.identita.dimensione + 1)));
  size_t letti = 0;
  for (;;) {
    if (letti == letto.contenuto.size()) {
      if (letti >= limite) break;
      letto.contenuto.resize(static_cast<size_t>(std::min<uint64_t>(limite, letti * 2 + 4096)));
    }
    const size_t n = leggi(letto.contenuto.data() + letti, letto.contenuto.size() - letti);
    if (n == 0) break;
    letti += n;
  }
  letto.contenuto.resize(letti);
  letto.contenuto.shrink_to_fit();
  letto.identita.impronta = impronta_di(letto.contenuto);
}

// A text the system writes into a buffer it is given, as GetModuleFileName does: `chiedi(dove,
// quanti)` answers how many characters it wrote, `quanti` itself when the text was cut short
// (the buffer then grows and the system is asked again), 0 when it cannot tell.
template <class Carattere, class Chiedi>
std::basic_string<Carattere> leggi_testo_di_sistema(Chiedi chiedi) {
  std::basic_string<Carattere> testo(260, Carattere{});
  for (;;) {
    const size_t scritti = chiedi(testo.data(), testo.size());
    if (scritti < testo.size()) {
      testo.resize(scritti);
      return testo;
    }
    testo.resize(testo.size() * 2);
  }
}

}  // namespace borvan

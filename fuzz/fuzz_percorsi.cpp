// The path routines over any text, in both styles: a folder is never longer than its path, a
// normalised folder ends with exactly the style's separator, a path split for its watch keeps
// all of it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/percorsi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string percorso(reinterpret_cast<const char*>(dati), dimensione);
  for (const auto stile : {borvan::StilePercorso::windows, borvan::StilePercorso::posix}) {
    if (borvan::estrai_cartella(percorso, stile).size() > percorso.size()) __builtin_trap();
    const std::string cartella = borvan::normalizza_percorso(percorso, stile);
    const char separatore = stile == borvan::StilePercorso::windows ? '\\' : '/';
    if (cartella.empty() || cartella.back() != separatore) __builtin_trap();
    if (borvan::separatori_nativi(percorso, stile).size() != percorso.size()) __builtin_trap();
    // A file's folder and name never lose a character of its path, nor leave the folder empty.
    const borvan::CartellaENome diviso = borvan::dividi_percorso(percorso, stile);
    if (diviso.cartella.empty() || diviso.nome.size() > percorso.size()) __builtin_trap();
    if (diviso.cartella != "." && diviso.cartella.size() + diviso.nome.size() + 1 < percorso.size())
      __builtin_trap();
  }
  return 0;
}

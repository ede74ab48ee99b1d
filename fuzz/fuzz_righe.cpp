// Line splitting over any bytes: no line keeps a CR, and no byte but the line ends is lost.

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string contenuto(reinterpret_cast<const char*>(dati), dimensione);
  size_t byte = 0;
  for (const std::string& riga : borvan::dividi_righe(contenuto)) {
    if (riga.find('\r') != std::string::npos) __builtin_trap();
    byte += riga.size();
  }
  size_t fine_righe = 0;
  for (size_t i = 0; i < contenuto.size(); ++i) {
    if (contenuto[i] != '\r') continue;
    ++fine_righe;
    if (i + 1 < contenuto.size() && contenuto[i + 1] == '\n') ++fine_righe, ++i;
  }
  if (byte + fine_righe != contenuto.size()) __builtin_trap();
  return 0;
}

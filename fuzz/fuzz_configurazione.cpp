// The configuration reader over any text: it never fails, and what it keeps is in range.

#include <cstddef>
#include <cstdint>
#include <string>

#include "comune/operatore_finto.h"
#include "config/configurazione.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string testo(reinterpret_cast<const char*>(dati), dimensione);
  borvan::test::OperatoreFinto operatore;
  borvan::test::ErroriFinti errori;  // gives up every error
  borvan::Configurazione valori = borvan::configurazione_predefinita("/borvan/");
  borvan::applica_configurazione(valori, testo, "/borvan/", operatore, errori);
  if (valori.tempo_polling < 10 || valori.tempo_polling > 60000) __builtin_trap();
  if (valori.tempo_timeout < 0 || valori.tempo_timeout > 60) __builtin_trap();
  if (valori.porta_ecr < 0) __builtin_trap();
  if (valori.file_input.empty() || valori.file_result.empty()) __builtin_trap();
  return 0;
}

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace borvan {

class GestoreErrori;
class Operatore;

inline constexpr const char* nome_file_config = "BorvanIF.CFG";

// The seven configuration values, as the main window holds them.
struct Configurazione {
  int32_t porta_ecr = 1;
  std::string file_input;
  int32_t tempo_polling = 500;
  int32_t tempo_timeout = 20;
  std::string file_result;
  bool mostra_errori = false;
  std::string file_log;
};

// The application directory ready for a name: the executable's folder, normalised.
std::string cartella_applicazione(const std::string& cartella_eseguibile);

// The full path of the configuration file.
std::string percorso_config(const std::string& cartella_eseguibile);

// The seven defaults, the paths in the application directory.
Configurazione configurazione_predefinita(const std::string& cartella_eseguibile);

// Reads the configuration file over the values: defaults first, then each valid setting in
// file order, a message for a refused INPUT_FILE, POLLING_TIME, TIMEOUT or RESULT_FILE. Runs
// under the retry trap: false when the operator gave up (the values read so far stay).
bool leggi_configurazione(Configurazione& valori, const std::string& cartella_eseguibile,
                          Operatore& operatore, GestoreErrori& errori);

}  // namespace borvan

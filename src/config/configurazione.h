#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "support/nome_programma.h"

namespace borvan {

class GestoreErrori;
class Operatore;

inline constexpr const char* nome_file_config = con_nome_programma<".CFG">;

// The seven configuration values, as the main window holds them.
struct Configurazione {
  int32_t porta_ecr = 0;
  std::string file_input;
  int32_t tempo_polling = 0;
  int32_t tempo_timeout = 0;
  std::string file_result;
  bool mostra_errori = false;
  std::string file_log;
};

// One key of the configuration file. The value it sets tells how the file's text is read: a
// whole number (within its range), a path (a bare name lands in the application directory) or
// a switch (on exactly when the number is 1).
struct Impostazione {
  using Campo = std::variant<int32_t Configurazione::*, std::string Configurazione::*,
                             bool Configurazione::*>;

  const char* chiave;
  const char* predefinito;  // as the file holds it: paths as bare names
  Campo campo;
  // Numbers: accepted above `minimo` (from it, when `minimo_compreso`) and below `massimo`,
  // the test made on the unrounded number; a value whose rounding does not fit is refused too.
  double minimo = -std::numeric_limits<double>::infinity();
  bool minimo_compreso = false;
  double massimo = std::numeric_limits<double>::infinity();
  bool vuoto_ammesso = false;  // paths: an empty value is accepted, and means none
  bool con_messaggio = false;  // a refusal says so ("Valore non valido per il parametro ")

  bool numero() const { return std::holds_alternative<int32_t Configurazione::*>(campo); }
  bool percorso() const { return std::holds_alternative<std::string Configurazione::*>(campo); }
  bool scelta() const { return std::holds_alternative<bool Configurazione::*>(campo); }
};

// The keys, in the order the configuration dialog writes them.
std::span<const Impostazione> impostazioni_config();
// The key's row; nothing for a key outside the table.
const Impostazione* trova_impostazione(std::string_view chiave);

// The application directory ready for a name: the executable's folder, normalised.
std::string cartella_applicazione(const std::string& cartella_eseguibile);

// The full path of the configuration file.
std::string percorso_config(const std::string& cartella_eseguibile);

// The seven defaults, the paths in the application directory.
Configurazione configurazione_predefinita(const std::string& cartella_eseguibile);

// Applies the settings of a configuration file's text over the values, in file order, a
// message for each refusal the table asks one for. Each line runs under the retry trap: false
// when the operator gave up (the values read so far stay).
bool applica_configurazione(Configurazione& valori, const std::string& testo,
                            const std::string& cartella_eseguibile, Operatore& operatore,
                            GestoreErrori& errori);

// Reads the configuration file over the values: defaults first, then the file's settings (a
// missing file is no error). Runs under the retry trap: false when the operator gave up.
bool leggi_configurazione(Configurazione& valori, const std::string& cartella_eseguibile,
                          Operatore& operatore, GestoreErrori& errori);

}  // namespace borvan

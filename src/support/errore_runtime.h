#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>

#include "support/nome_programma.h"

namespace borvan {

// The classic run-time error numbers, so that an operator's report keeps its meaning.
namespace codice_errore {
inline constexpr int32_t chiamata_non_valida = 5;
inline constexpr int32_t overflow = 6;
inline constexpr int32_t memoria_esaurita = 7;
inline constexpr int32_t tipo_non_corrispondente = 13;
inline constexpr int32_t nome_file_non_valido = 52;
inline constexpr int32_t file_non_trovato = 53;
inline constexpr int32_t errore_io = 57;
inline constexpr int32_t disco_pieno = 61;
inline constexpr int32_t permesso_negato = 70;
inline constexpr int32_t accesso_percorso = 75;
inline constexpr int32_t percorso_non_trovato = 76;
inline constexpr int32_t valore_proprieta_non_valido = 380;
// The automation numbers, for the register's driver control.
inline constexpr int32_t impossibile_creare_oggetto = 429;
inline constexpr int32_t metodo_non_supportato = 438;
inline constexpr int32_t errore_automazione = 440;
inline constexpr int32_t argomento_obbligatorio = 449;
inline constexpr int32_t numero_argomenti_errato = 450;
}  // namespace codice_errore

// A trapped run-time error: what the common error routine shows and decides on.
class ErroreRuntime : public std::runtime_error {
 public:
  explicit ErroreRuntime(int32_t numero, std::string descrizione = {},
                         std::string sorgente = nome_programma);

  int32_t numero() const { return numero_; }
  const std::string& descrizione() const { return descrizione_; }
  const std::string& sorgente() const { return sorgente_; }

 private:
  int32_t numero_;
  std::string descrizione_;
  std::string sorgente_;
};

// The system's message text for an error number ("Overflow", "Impossibile trovare il file", ...).
std::string descrizione_errore(int32_t numero);

// The classic number for a system error code (errno, or a Windows error).
int32_t numero_da_codice(const std::error_code& codice);

// Turns the exception being handled into a run-time error; call only inside a catch block.
// Standard-library failures get the classic number that fits them best.
ErroreRuntime errore_corrente();

}  // namespace borvan

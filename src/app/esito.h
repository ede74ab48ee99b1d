#pragma once

// The outcome of a job: its message, the result file's text and the log line.

#include <cstdint>
#include <string>

namespace borvan {

namespace codice_esito {
inline constexpr int32_t successo = 0;
inline constexpr int32_t errore_apertura = -50;
inline constexpr int32_t timeout = -100;
inline constexpr int32_t interrotto = -101;
// Begun but not completed: some lines may have been printed (the program ended during the job,
// or the operator gave up a line the register did not take).
inline constexpr int32_t non_completata = -102;
}  // namespace codice_esito

struct DataOra {
  int anno = 0, mese = 0, giorno = 0, ora = 0, minuto = 0, secondo = 0;
};

// The table message of a code.
std::string messaggio_esito(int32_t codice);
// The table message, then "-" and the description when there is one, trimmed of spaces.
std::string messaggio_composto(int32_t codice, const std::string& descrizione);
// How far a job that did not complete had come, for its description.
std::string righe_accettate(int32_t accettate, int32_t righe);
// The result file: code line and message line, each ended by CR LF.
std::string testo_result(int32_t codice, const std::string& messaggio);
// The log line: mm-dd-yyyy TAB hh:mm:ss TAB code TAB message CR LF.
std::string riga_log(const DataOra& quando, int32_t codice, const std::string& messaggio);
// A note in the log (what the system cannot do for the command files, a crash): the same four
// fields, the code's left empty, since it is no job's outcome.
std::string riga_nota(const DataOra& quando, const std::string& nota);

}  // namespace borvan

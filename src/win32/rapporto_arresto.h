#pragma once

// What a crash leaves behind: a crash anywhere in the process (the program's own code, or the
// register's control, which runs inside it, on any thread) writes a minidump
// BorvanIF-<yyyymmdd>-<hhmmss>.dmp in the application folder and a log line saying so, or why
// it could not, and ends the process with the crash's code. The next start gives the job it
// interrupted its outcome from the journal. The latest few reports are kept.

#include <functional>
#include <string>

namespace borvan::win32 {

// How many reports the folder keeps: the oldest go first.
inline constexpr int rapporti_conservati = 5;

// Arms the report for the process's life. `cartella`, the application folder, ends with its
// separator; `registro` answers the log file in force when the crash comes (empty: no log);
// `senza_protezione`, when not empty, is the file that a control's execution from a data page
// leaves to turn DEP off from the next start.
void arma_rapporto_arresto(const std::string& cartella, std::function<std::string()> registro,
                           const std::string& senza_protezione = {});

}  // namespace borvan::win32

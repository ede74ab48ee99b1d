#pragma once

// BorvanIF as a shop gets it: BorvanIF-Setup.exe run silently into a folder of the test's own,
// the installed program started from there, removed by its own uninstaller. The 32-bit build
// may run under emulation, where every start of a 32-bit program (the installer, the program,
// regsvr32, the uninstaller) costs about a minute: give a running program many jobs rather
// than starting it again, and wait for its window (Processo::pronto) before the first one.

#include <windows.h>

#include <string>

#include "comune/installazione.h"

namespace borvan::test {

inline constexpr auto avvio_lento = 600s;

inline const char* const chiave_disinstalla =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\BorvanIF";

// A value of the uninstall entry as "Apps and features" reads it, in the 64-bit view of a 64-bit
// system whatever this test's architecture; empty when missing.
inline std::string voce_disinstalla(const char* nome) {
  HKEY chiave = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, chiave_disinstalla, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &chiave) != ERROR_SUCCESS)
    return {};
  char valore[MAX_PATH] = "";
  DWORD dimensione = sizeof valore;
  const LSTATUS esito =
      RegGetValueA(chiave, nullptr, nome, RRF_RT_REG_SZ, nullptr, valore, &dimensione);
  RegCloseKey(chiave);
  return esito == ERROR_SUCCESS ? valore : "";
}

class Installato : public Installazione {
 public:
  // BORVAN_SETUP /S `opzioni` /D=<the folder>, then BorvanIF.CFG as Installazione writes it.
  explicit Installato(const std::string& opzioni = "", const std::string& impostazioni = "")
      : Installazione(SenzaProgramma{}, impostazioni),
        esito(esegui(riga_installatore(opzioni), avvio_lento)) {}

  // The installer's exit code; nothing when it did not end.
  const std::optional<DWORD> esito;

  // The folder as Windows writes it, without the final separator.
  std::string cartella_windows() const {
    std::string cartella = percorso_windows(percorso(""));
    while (cartella.ends_with("\\")) cartella.pop_back();
    return cartella;
  }

  // Built in place: GCC 12 at -O3 takes a concatenation that starts with a literal for an
  // overlapping copy.
  std::string riga_installatore(const std::string& opzioni) const {
    std::string riga = percorso_windows(BORVAN_SETUP);
    riga.insert(0, 1, '"').append("\" /S ").append(opzioni);
    return riga.append(" /D=").append(cartella_windows());
  }

  // Runs the uninstaller silently, as "Apps and features" does: it copies itself away and
  // returns at once; true when its entry, the program and the uninstaller are gone in time.
  bool disinstalla() const {
    const std::string riga = voce_disinstalla("QuietUninstallString");
    if (riga.empty() || esegui(riga, avvio_lento) != 0u) return false;
    return attendi(
        [this] {
          return voce_disinstalla("DisplayName").empty() && !esiste("BorvanIF.exe") &&
                 !esiste("Disinstalla.exe");
        },
        avvio_lento);
  }
};

}  // namespace borvan::test

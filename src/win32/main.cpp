#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "automazione/driver_com.h"
#include "config/configurazione.h"
#include "ecr/registratore_simulato.h"
#include "support/nome_programma.h"
#include "win32/librerie.h"
#include "win32/programma.h"
#include "win32/protezione_esecuzione.h"
#include "win32/rapporto_arresto.h"

namespace {

using borvan::win32::AmbienteWin32;
using borvan::win32::Programma;

// What the process needs before any window: DLLs only from the system's folder, unless the
// register's control could then not be loaded at all (its file name is returned then); and a
// line the register takes seconds to accept must not get the window marked "not responding"
// with an offer to end the program.
std::wstring prepara_processo() {
  std::wstring senza_cartella =
      borvan::win32::solo_librerie_di_sistema(borvan::progid_registratore);
  DisableProcessWindowsGhosting();
  return senza_cartella;
}

// Every file of the program lives in its folder and is reached by names in the ANSI code page:
// a folder that code page cannot spell would fail every job, so the program says so and ends.
void cartella_non_utilizzabile() {
  const std::string_view ansi = borvan::nome_programma;
  const std::wstring nome(ansi.begin(), ansi.end());
  const std::wstring testo =
      nome + L" non puo' funzionare nella cartella\n" +
      AmbienteWin32::cartella_eseguibile_unicode() +
      L"\n\nIl suo nome contiene caratteri che la code page del sistema non sa scrivere, e "
      L"nessun file vi sarebbe trovato. Installare " +
      nome + L" in un'altra cartella, per esempio C:\\" + nome + L".";
  MessageBoxW(nullptr, testo.c_str(), nome.c_str(),
              MB_OK | MB_ICONSTOP | MB_SETFOREGROUND | MB_TOPMOST);
}

// "--simulatore": the simulated register, whatever driver the system has.
std::unique_ptr<borvan::DriverEcr> driver_scelto(const std::string& cartella) {
  for (int i = 1; i < __argc; ++i)
    if (lstrcmpiA(__argv[i], "--simulatore") == 0)
      return std::make_unique<borvan::RegistratoreSimulato>(
          borvan::cartella_applicazione(cartella));
  return nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A drive without its medium, or a library a control needs that is missing, is an error code
  // for the program, never a box of the system's that holds the window at every poll.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const std::wstring controllo_senza_cartella = prepara_processo();
  borvan::win32::prepara_applicazione();
  const std::optional<std::string> cartella = AmbienteWin32::cartella_eseguibile();
  if (!cartella) {
    cartella_non_utilizzabile();
    return 1;
  }
  const std::string applicazione = borvan::cartella_applicazione(*cartella);
  const bool protezione = borvan::win32::attiva_protezione_esecuzione(applicazione);
  // A crash from here on, the register's control's included, leaves a report beside the
  // program and a line in the log in force.
  std::optional<Programma> programma;
  borvan::win32::arma_rapporto_arresto(
      applicazione,
      [&programma] { return programma ? programma->principale().config.file_log : std::string(); },
      protezione ? applicazione + borvan::win32::nome_senza_protezione : std::string());
  programma.emplace(*cartella, driver_scelto(*cartella));
  if (!controllo_senza_cartella.empty())
    programma->ambiente().aggiungi_avvertenza(
        "Il driver del registratore e' registrato senza cartella (" +
        borvan::win32::in_ansi(controllo_senza_cartella).value_or("?") +
        "): le DLL sono cercate anche nella cartella del programma");
  if (!programma->avvia()) return 0;
  return programma->esegui();
}

// The real BorvanIF.exe, started without arguments, reaching the stand-in control through the
// automation path: the same outcomes as on the simulated register itself.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>:
#include <dbghelp.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "comune/esiti_comuni.h"
#include "ecrsim/registrazione_com.h"
#include "win32/rapporto_arresto.h"

namespace borvan::test {
namespace {

BOOL CALLBACK aggiungi_testo(HWND controllo, LPARAM destinazione) {
  char testo[1024] = "";
  GetWindowTextA(controllo, testo, sizeof testo);
  *reinterpret_cast<std::string*>(destinazione) += std::string(testo) + "\n";
  return TRUE;
}

// The texts of a window and of all its controls.
std::string testi_finestra(HWND finestra) {
  std::string testi;
  aggiungi_testo(finestra, reinterpret_cast<LPARAM>(&testi));
  EnumChildWindows(finestra, aggiungi_testo, reinterpret_cast<LPARAM>(&testi));
  return testi;
}

// One program, no argument, takes the jobs one after another, the register's settings as they
// are when each starts; the same table runs with --simulatore, so both paths answer alike.
// The stand-in demands its client site (REQUIRE_SITE): every job proves the program hosts it
// as a form does.
TEST(ProgrammaCom, StessiEsitiDelSimulatore) {
  std::vector<EsitoAtteso> casi(std::begin(esiti_comuni), std::end(esiti_comuni));
  // Ten lines of 500 ms each cannot finish within the two-second time-out; the next job prints.
  casi.push_back({"time-out", "LINE_DELAY_MS=500\r\n", 10, "-100\tTimeout stampa", 1, 9});
  // The same, the register running the program's messages inside each call of 300 ms.
  casi.push_back({"time-out, pumping", pompa(300), 10, "-100\tTimeout stampa", 1, 9});
  casi.push_back(esiti_comuni[0]);
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  for (const std::string& argomenti : {std::string(), std::string("--simulatore")}) {
    SCOPED_TRACE(argomenti);
    Installazione installazione("TIMEOUT=2\r\n");
    const auto programma = installazione.avvia(argomenti);
    ASSERT_TRUE(programma);
    for (const EsitoAtteso& caso : casi) {
      SCOPED_TRACE(caso.nome);
      installazione.scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + caso.simulatore);
      verifica_lavoro(installazione, caso);
      EXPECT_TRUE(programma->in_vita());
    }
    EXPECT_EQ(installazione.esiti_nel_log(), casi.size());  // one outcome a job
    // Asked to end, as the installer asks: the control is let go first, and the program ends.
    PostMessageA(FindWindowA("BorvanIF_Principale", nullptr),
                 RegisterWindowMessageA("BorvanIF_Termina"), 0, 0);
    ASSERT_TRUE(attendi([&] { return !programma->in_vita(); }));
    EXPECT_EQ(programma->uscita(), 0u);
  }
}

// Status or send raising: the operator's error dialog shows the control's own error, retries,
// and the job ends by its time-out with nothing printed; the next job prints.
TEST(ProgrammaCom, MembroDelCicloInErroreMostraIlDialogo) {
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  Installazione installazione("TIMEOUT=2\r\n");
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  for (const int32_t membro : {membro_stato, membro_invia}) {
    SCOPED_TRACE(membro);
    installazione.scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + solleva(membro));
    std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
    installazione.deponi(comandi(2));
    HWND dialogo = nullptr;
    ASSERT_TRUE(attendi([&] { return (dialogo = FindWindowA(nullptr, "ERRORE")) != nullptr; }));
    const std::string testo = "Registratore simulato: errore sul membro " + std::to_string(membro);
    EXPECT_TRUE(attendi([&] { return testi_finestra(dialogo).find(testo) != std::string::npos; }))
        << testi_finestra(dialogo);
    ASSERT_TRUE(attendi(
        [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); }));
    EXPECT_EQ(installazione.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
    EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "");  // the roll may exist, but is blank
    // The dialog gives up by itself once the job has ended.
    ASSERT_TRUE(attendi([] { return FindWindowA(nullptr, "ERRORE") == nullptr; }));
  }
  installazione.scrivi("ECRSIM.CFG", "");
  verifica_lavoro(installazione, esiti_comuni[0]);
}

// A control that runs the program's messages inside its calls: the outcomes, a file dropped
// during the open, jobs back to back; and "Interrompi la stampa" clicked inside a call ends
// the job right after it.
TEST(ProgrammaCom, UnControlloCheElaboraIMessaggi) {
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  Installazione installazione("POLLING_TIME=11\r\n");
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  verifica_registratore_che_pompa(installazione);

  installazione.scrivi("ECRSIM.CFG", pompa(200));
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  std::filesystem::remove(installazione.percorso("Result.TXT"));
  const size_t esiti = installazione.esiti_nel_log();
  installazione.deponi(comandi(10));
  ASSERT_TRUE(attendi([&] { return installazione.righe_stampate() >= 2; }));
  HWND finestra = FindWindowA("BorvanIF_Principale", nullptr);
  HWND pulsante = FindWindowExA(finestra, nullptr, "BUTTON", "Interrompi la stampa");
  ASSERT_NE(pulsante, nullptr);
  PostMessageA(finestra, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pulsante), BN_CLICKED),
               reinterpret_cast<LPARAM>(pulsante));
  ASSERT_TRUE(attendi(
      [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); }));
  EXPECT_EQ(installazione.leggi("Result.TXT"), "-101\r\nStampa interrotta dall'utente\r\n");
  EXPECT_TRUE(comandi(10).starts_with(installazione.leggi("ECRSIM.TXT")));
  EXPECT_LT(installazione.righe_stampate(), 10u);
  EXPECT_EQ(installazione.esiti_nel_log(), esiti + 1);
  EXPECT_TRUE(programma->in_vita());
}

// The reports in the program's folder, oldest first.
std::vector<std::string> rapporti(const Installazione& installazione) {
  std::vector<std::string> nomi;
  for (const auto& voce : std::filesystem::directory_iterator(installazione.percorso("")))
    if (voce.path().extension() == ".dmp") nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

// The code of the exception a minidump holds; 0 when it holds none.
DWORD eccezione_nel_dump(const std::string& percorso) {
  DWORD codice = 0;
  const HANDLE file = CreateFileA(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  const HANDLE mappa = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  void* base = mappa != nullptr ? MapViewOfFile(mappa, FILE_MAP_READ, 0, 0, 0) : nullptr;
  MINIDUMP_DIRECTORY* voce = nullptr;
  void* flusso = nullptr;
  ULONG dimensione = 0;
  if (base != nullptr &&
      MiniDumpReadDumpStream(base, ExceptionStream, &voce, &flusso, &dimensione) &&
      dimensione >= sizeof(MINIDUMP_EXCEPTION_STREAM))
    codice = static_cast<MINIDUMP_EXCEPTION_STREAM*>(flusso)->ExceptionRecord.ExceptionCode;
  if (base != nullptr) UnmapViewOfFile(base);
  if (mappa != nullptr) CloseHandle(mappa);
  CloseHandle(file);
  return codice;
}

// For its scope, wine refuses dbghelp.dll to the program (its own switch for one program's
// DLLs), as where the library cannot be loaded.
struct DbghelpSpento {
  static constexpr const char* programma = "Software\\Wine\\AppDefaults\\BorvanIF.exe";
  DbghelpSpento() {
    RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(programma) + "\\DllOverrides").c_str(),
                    "dbghelp", REG_SZ, "disabled", sizeof "disabled");
  }
  ~DbghelpSpento() { RegDeleteTreeA(HKEY_CURRENT_USER, programma); }
};

// A crash inside the register's control ends the program and leaves a report: a minidump of the
// crash beside the program (the oldest reports going, so that a till that keeps crashing does
// not fill its disk) and a log line saying so, or why there is no dump. The next start gives
// the interrupted job its outcome and never prints any of its lines again.
TEST(ProgrammaCom, CrashNelControlloLasciaIlRapportoEIlLavoroHaIlSuoEsito) {
  const std::string interrotto =
      "-102\tStampa non completata-BorvanIF chiuso durante la stampa; righe accettate dalla "
      "cassa: ";
  struct Arresto {
    const char* nome;
    int membro;  // CRASH= in ECRSIM.CFG
    bool dbghelp;
    std::string esito;  // of the job, at the next start
    size_t righe;       // on the roll once the job has its outcome
  };
  const Arresto arresti[] = {
      // Nothing was printed: the job prints whole at the next start.
      {"opening", membro_apri, true, fine_stampa, 3},
      {"first line", membro_invia, true, interrotto + "0 di 3", 0},
      {"closing, every line printed", membro_chiudi, true, interrotto + "3 di 3", 3},
      {"without dbghelp.dll", membro_invia, false, interrotto + "0 di 3", 0}};
  const std::regex nome_rapporto("BorvanIF-[0-9]{8}-[0-9]{6}\\.dmp");
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  for (const Arresto& caso : arresti) {
    SCOPED_TRACE(caso.nome);
    Installazione installazione;
    // Five earlier reports, and a file of the integrator's that only looks like one.
    for (int i = 1; i <= win32::rapporti_conservati; ++i)
      installazione.scrivi("BorvanIF-2000010" + std::to_string(i) + "-120000.dmp", "vecchio");
    installazione.scrivi("BorvanIF-mio.dmp", "mio");
    installazione.scrivi("ECRSIM.CFG", "CRASH=" + std::to_string(caso.membro) + "\r\n");
    {
      std::optional<DbghelpSpento> senza_dbghelp;
      if (!caso.dbghelp) senza_dbghelp.emplace();
      const auto programma = installazione.avvia("");
      ASSERT_TRUE(programma);
      installazione.deponi(comandi(3));
      ASSERT_TRUE(attendi([&] { return !programma->in_vita(); }));
      EXPECT_EQ(programma->uscita(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
    const std::vector<std::string> dopo = rapporti(installazione);
    std::string nuovo;
    for (const std::string& nome : dopo)
      if (std::regex_match(nome, nome_rapporto) &&
          !installazione.leggi(nome).starts_with("vecchio"))
        nuovo = nome;
    const std::string log = installazione.leggi("BorvanIF.LOG");
    const std::string causa =
        "\t\tBorvanIF terminato da un errore grave: eccezione 0xC0000005 in "
        "ECRSIM.DLL; ";
    if (caso.dbghelp) {
      ASSERT_NE(nuovo, "") << log;
      EXPECT_EQ(eccezione_nel_dump(installazione.percorso(nuovo)), EXCEPTION_ACCESS_VIOLATION);
      EXPECT_TRUE(log.ends_with(causa + "rapporto " + nuovo + "\r\n")) << log;
      // The oldest went; the others, and what is not a report, stay.
      EXPECT_EQ(std::count(dopo.begin(), dopo.end(), "BorvanIF-20000101-120000.dmp"), 0);
      EXPECT_EQ(dopo.size(), static_cast<size_t>(win32::rapporti_conservati) + 1);
      EXPECT_EQ(std::count(dopo.begin(), dopo.end(), "BorvanIF-mio.dmp"), 1);
    } else {
      EXPECT_EQ(nuovo, "");
      EXPECT_NE(log.find(causa + "impossibile scrivere il rapporto BorvanIF-"), std::string::npos)
          << log;
      EXPECT_NE(log.find(".dmp: dbghelp.dll non disponibile: "), std::string::npos) << log;
    }
    // Started again as the shop starts it, the register now sound.
    installazione.scrivi("ECRSIM.CFG", "");
    std::filesystem::remove(installazione.percorso("Result.TXT"));
    const auto programma = installazione.avvia("");
    ASSERT_TRUE(programma);
    ASSERT_TRUE(attendi(
        [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); }));
    verifica_esito(installazione, caso.esito);
    EXPECT_EQ(installazione.righe_stampate(), caso.righe);
    EXPECT_TRUE(programma->in_vita());
  }
}

}  // namespace
}  // namespace borvan::test

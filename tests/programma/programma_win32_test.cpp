// The real program where only Windows has the case.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>:
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "comune/esiti_comuni.h"
#include "win32/rapporto_arresto.h"

namespace borvan::test {
namespace {

// The previous outcome still open by the C library's "rb" (sharing writes, not deletion) when
// the next is ready: the next lands all the same, whether the reader lets go soon or late (then
// written over the longer one in place), and a result file kept hidden stays hidden.
TEST(ProgrammaWin32, UnEsitoArrivaMentreIlPrecedenteELetto) {
  Cassa cassa;
  const auto programma = cassa.avvia();
  ASSERT_TRUE(programma);
  const std::string result = cassa.percorso("Result.TXT");
  for (const auto tenuto : {500ms, 3000ms}) {
    SCOPED_TRACE(tenuto.count());
    cassa.imposta_registratore("REFUSE_LINE=1\r\nREFUSE_CODE=7\r\n");
    ASSERT_TRUE(cassa.lavoro("A\r\n"));
    SetFileAttributesA(result.c_str(), FILE_ATTRIBUTE_HIDDEN);
    cassa.imposta_registratore("");
    std::FILE* lettore = std::fopen(result.c_str(), "rb");
    ASSERT_NE(lettore, nullptr);
    cassa.deponi("B\r\n");
    const bool pronto = attendi([&] { return cassa.esiste("Result.TXT.tmp"); });
    std::this_thread::sleep_for(tenuto);
    std::fclose(lettore);
    ASSERT_TRUE(pronto);
    ASSERT_TRUE(attendi([&] { return !cassa.esiste("Scontr.ECR"); }));
    verifica_esito(cassa, fine_stampa);
    EXPECT_NE(GetFileAttributesA(result.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  }
}

// Status or send raising: the error dialog goes by itself at the time-out, nothing printed; the
// next job prints.
TEST(ProgrammaWin32, IlDialogoDErroreNonFermaLaCassa) {
  Cassa cassa("TIMEOUT=2\r\n");
  const auto programma = cassa.avvia();
  for (const int32_t membro : {membro_stato, membro_invia}) {
    SCOPED_TRACE(membro);
    cassa.imposta_registratore(solleva(membro));
    std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
    cassa.deponi(comandi(2));
    ASSERT_TRUE(attendi([] { return FindWindowA(nullptr, "ERRORE") != nullptr; }));
    ASSERT_TRUE(cassa.finito());
    EXPECT_EQ(cassa.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
    EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "");  // the roll may exist, but is blank
    ASSERT_TRUE(attendi([] { return FindWindowA(nullptr, "ERRORE") == nullptr; }));
  }

  cassa.imposta_registratore("");
  verifica_lavoro(cassa, esiti_comuni[0]);
  EXPECT_EQ(cassa.esiti_nel_log(), 3u);
  EXPECT_TRUE(programma->in_vita());
}

std::vector<std::string> rapporti(const Cassa& cassa) {
  std::vector<std::string> nomi;
  for (const auto& voce : std::filesystem::directory_iterator(cassa.percorso("")))
    if (voce.path().extension() == ".dmp") nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

// For its scope, wine loads the program's DLL `dll` as `come` says: "disabled" refuses it, as
// where it cannot be loaded; "native,builtin" takes a file of that name wherever the search
// finds one first, as Windows does with a DLL that is not one of its known DLLs.
struct DllSottoWine {
  static constexpr const char* programma = "Software\\Wine\\AppDefaults\\BorvanIF.exe";
  DllSottoWine(const char* dll, const std::string& come) {
    RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(programma) + "\\DllOverrides").c_str(), dll,
                    REG_SZ, come.c_str(), static_cast<DWORD>(come.size() + 1));
  }
  ~DllSottoWine() { RegDeleteTreeA(HKEY_CURRENT_USER, programma); }
};

// A DLL put in the program's folder under a system DLL's name is never loaded: the folder is
// every till user's to write in, and an elevated program would run it.
TEST(ProgrammaWin32, UnaDllNellaCartellaNonPrendeIlPostoDiQuellaDiSistema) {
  Cassa cassa;
  std::filesystem::copy_file(percorso_windows(ECRSIM_DLL), cassa.percorso("uxtheme.dll"));
  const DllSottoWine nativa("uxtheme", "native,builtin");
  const auto programma = cassa.avvia();
  ASSERT_TRUE(programma);
  ASSERT_TRUE(cassa.lavoro(comandi(1)));
  // The common controls load the themes' DLL: the one in the process is System32's.
  const HANDLE moduli = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, programma->info.dwProcessId);
  MODULEENTRY32 modulo{};
  modulo.dwSize = sizeof modulo;
  std::string temi;
  for (BOOL altro = Module32First(moduli, &modulo); altro; altro = Module32Next(moduli, &modulo))
    if (lstrcmpiA(modulo.szModule, "uxtheme.dll") == 0) temi = modulo.szExePath;
  CloseHandle(moduli);
  char sistema[MAX_PATH] = "";
  GetSystemDirectoryA(sistema, MAX_PATH);
  EXPECT_EQ(lstrcmpiA(temi.c_str(), (std::string(sistema) + "\\uxtheme.dll").c_str()), 0) << temi;
}

// A crash inside the control leaves a dump (the oldest going, so a till that keeps crashing does
// not fill its disk) and a log line saying so, or why there is none. The next start gives the
// interrupted job its outcome and never prints any of its lines again.
TEST(ProgrammaWin32, CrashNelControlloLasciaIlRapportoEIlLavoroHaIlSuoEsito) {
  struct Arresto {
    const char* nome;
    int membro;  // CRASH= in ECRSIM.CFG
    bool dbghelp;
    std::string esito;  // of the job, at the next start
    size_t righe;       // on the roll once the job has its outcome
  };
  const Arresto arresti[] = {
      {"opening: nothing printed, all printed next", membro_apri, true, fine_stampa, 3},
      {"first line", membro_invia, true, interrotto + "0 di 3", 0},
      {"closing, without dbghelp.dll", membro_chiudi, false, interrotto + "3 di 3", 3}};
  const std::regex nome_rapporto("BorvanIF-[0-9]{8}-[0-9]{6}\\.dmp");
  for (const Arresto& caso : arresti) {
    SCOPED_TRACE(caso.nome);
    Cassa cassa;
    for (int i = 1; i <= win32::rapporti_conservati; ++i)
      cassa.scrivi("BorvanIF-2000010" + std::to_string(i) + "-120000.dmp", "vecchio");
    cassa.scrivi("BorvanIF-mio.dmp", "mio");
    cassa.imposta_registratore(sul_membro("CRASH", caso.membro));
    {
      std::optional<DllSottoWine> senza_dbghelp;
      if (!caso.dbghelp) senza_dbghelp.emplace("dbghelp", "disabled");
      const auto programma = cassa.avvia();
      ASSERT_TRUE(programma);
      cassa.deponi(comandi(3));
      ASSERT_TRUE(terminato(*programma));
      EXPECT_EQ(programma->uscita(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
    const std::vector<std::string> dopo = rapporti(cassa);
    std::string nuovo;
    for (const std::string& nome : dopo)
      if (std::regex_match(nome, nome_rapporto) && !cassa.leggi(nome).starts_with("vecchio"))
        nuovo = nome;
    const std::string log = cassa.leggi("BorvanIF.LOG");
    const std::string causa =
        "\t\tBorvanIF terminato da un errore grave: eccezione 0xC0000005 in ECRSIM.DLL; ";
    if (caso.dbghelp) {
      ASSERT_NE(nuovo, "") << log;
      EXPECT_GT(std::filesystem::file_size(cassa.percorso(nuovo)), 0u);
      EXPECT_TRUE(log.ends_with(causa + "rapporto " + nuovo + "\r\n")) << log;
      EXPECT_EQ(std::count(dopo.begin(), dopo.end(), "BorvanIF-20000101-120000.dmp"), 0);
      EXPECT_EQ(dopo.size(), static_cast<size_t>(win32::rapporti_conservati) + 1);
      EXPECT_EQ(std::count(dopo.begin(), dopo.end(), "BorvanIF-mio.dmp"), 1);
    } else {
      EXPECT_EQ(nuovo, "");
      EXPECT_NE(log.find(causa + "impossibile scrivere il rapporto BorvanIF-"), std::string::npos)
          << log;
      EXPECT_NE(log.find(".dmp: dbghelp.dll non disponibile: "), std::string::npos) << log;
    }
    cassa.imposta_registratore("");
    std::filesystem::remove(cassa.percorso("Result.TXT"));
    const auto programma = cassa.avvia();
    ASSERT_TRUE(programma);
    ASSERT_TRUE(cassa.finito());
    verifica_esito(cassa, caso.esito);
    EXPECT_EQ(cassa.righe_stampate(), caso.righe);
    EXPECT_TRUE(programma->in_vita());
  }
}

}  // namespace
}  // namespace borvan::test

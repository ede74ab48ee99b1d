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

// By the C library's narrow names, as a point-of-sale program written in C reaches files.
std::string leggi_c(const std::string& percorso) {
  std::string contenuto;
  if (FILE* file = std::fopen(percorso.c_str(), "rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;) contenuto += static_cast<char>(c);
    std::fclose(file);
  }
  return contenuto;
}

bool esiste_c(const std::string& percorso) {
  return GetFileAttributesA(percorso.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names whose bytes the system's code page and the C++ library's path conversion read
// differently: the job is still found, printed, answered where configured, and deleted.
TEST(ProgrammaWin32, NomiConByteDa0x80A0x9F) {
  CartellaTemporanea base;
  const std::string cartella = base.percorso("") + "Cass\x80";
  ASSERT_TRUE(CreateDirectoryA(cartella.c_str(), nullptr));
  const std::string file_comandi = cartella + "\\Scontr\x9F.ECR";
  const std::string file_result = cartella + "\\Result\x8A.TXT";
  Cassa cassa("INPUT_FILE=" + file_comandi + "\r\nRESULT_FILE=" + file_result + "\r\n");
  const auto programma = cassa.avvia();
  ASSERT_TRUE(programma);
  if (FILE* file = std::fopen((file_comandi + ".tmp").c_str(), "wb")) {
    std::fputs("\x80 uno\r\ndue\r\n", file);
    std::fclose(file);
  }
  ASSERT_EQ(std::rename((file_comandi + ".tmp").c_str(), file_comandi.c_str()), 0);
  ASSERT_TRUE(attendi([&] { return esiste_c(file_result) && !esiste_c(file_comandi); }));
  EXPECT_EQ(leggi_c(file_result), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "\x80 uno\r\ndue\r\n");
  EXPECT_TRUE(programma->in_vita());
  std::remove(file_result.c_str());
  RemoveDirectoryA(cartella.c_str());
}

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

// A folder the system's code page cannot spell: the program says so and ends, writing nothing,
// instead of failing every job.
TEST(ProgrammaWin32, UnaCartellaCheLaCodePageNonSaScrivere) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the UTF-8 code page spells every name";
  CartellaTemporanea base;
  const std::wstring cartella =
      std::filesystem::path(base.percorso("")).wstring() + L"Cassa \u2603";
  ASSERT_TRUE(CreateDirectoryW(cartella.c_str(), nullptr));
  std::wstring programma = cartella + L"\\BorvanIF.exe";
  ASSERT_TRUE(CopyFileW(std::filesystem::path(percorso_windows(BORVAN_BINARIO)).wstring().c_str(),
                        programma.c_str(), TRUE));
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(programma.c_str(), programma.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, cartella.c_str(), &avvio, &info));
  Processo processo{info};
  HWND casella = nullptr;
  ASSERT_TRUE(attendi([&] {
    while ((casella = FindWindowExW(nullptr, casella, L"#32770", L"BorvanIF")) != nullptr) {
      DWORD di = 0;
      GetWindowThreadProcessId(casella, &di);
      if (di == info.dwProcessId) return true;
    }
    return false;
  }));
  PostMessageW(casella, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(terminato(processo));
  EXPECT_EQ(processo.uscita(), 1u);
  for (const wchar_t* nome : {L"\\BorvanIF.LCK", L"\\BorvanIF.LOG", L"\\Result.TXT"})
    EXPECT_EQ(GetFileAttributesW((cartella + nome).c_str()), INVALID_FILE_ATTRIBUTES);
}

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

// Status or send raising: the error dialog shows the control's error and gives up by itself at
// the time-out, nothing printed. "Interrompi la stampa" clicked inside a call that runs the
// program's messages ends the job after it. Asked to end, as the installer asks, it ends with 0.
TEST(ProgrammaWin32, DialogoDErroreInterruzioneETermine) {
  Cassa cassa("TIMEOUT=2\r\n");
  const auto programma = cassa.avvia();
  for (const int32_t membro : {membro_stato, membro_invia}) {
    SCOPED_TRACE(membro);
    cassa.imposta_registratore(solleva(membro));
    std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
    cassa.deponi(comandi(2));
    HWND dialogo = nullptr;
    ASSERT_TRUE(attendi([&] { return (dialogo = FindWindowA(nullptr, "ERRORE")) != nullptr; }));
    const std::string testo = "Registratore simulato: errore sul membro " + std::to_string(membro);
    EXPECT_TRUE(attendi([&] { return testi_finestra(dialogo).find(testo) != std::string::npos; }))
        << testi_finestra(dialogo);
    ASSERT_TRUE(cassa.finito());
    EXPECT_EQ(cassa.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
    EXPECT_EQ(cassa.leggi("ECRSIM.TXT"), "");  // the roll may exist, but is blank
    ASSERT_TRUE(attendi([] { return FindWindowA(nullptr, "ERRORE") == nullptr; }));
  }

  cassa.imposta_registratore(pompa(200));
  std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
  std::filesystem::remove(cassa.percorso("Result.TXT"));
  cassa.deponi(comandi(10));
  ASSERT_TRUE(attendi([&] { return cassa.righe_stampate() >= 2; }));
  HWND finestra = FindWindowA("BorvanIF_Principale", nullptr);
  HWND pulsante = FindWindowExA(finestra, nullptr, "BUTTON", "Interrompi la stampa");
  ASSERT_NE(pulsante, nullptr);
  PostMessageA(finestra, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pulsante), BN_CLICKED),
               reinterpret_cast<LPARAM>(pulsante));
  ASSERT_TRUE(cassa.finito());
  EXPECT_EQ(cassa.leggi("Result.TXT"), "-101\r\nStampa interrotta dall'utente\r\n");
  EXPECT_TRUE(comandi(10).starts_with(cassa.leggi("ECRSIM.TXT")));
  EXPECT_LT(cassa.righe_stampate(), 10u);

  cassa.imposta_registratore("");
  verifica_lavoro(cassa, esiti_comuni[0]);
  EXPECT_EQ(cassa.esiti_nel_log(), 4u);
  PostMessageA(finestra, RegisterWindowMessageA("BorvanIF_Termina"), 0, 0);
  ASSERT_TRUE(terminato(*programma));
  EXPECT_EQ(programma->uscita(), 0u);
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
    cassa.imposta_registratore("CRASH=" + std::to_string(caso.membro) + "\r\n");
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

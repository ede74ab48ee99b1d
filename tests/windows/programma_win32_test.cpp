#include <gtest/gtest.h>

#include <cstdio>

#include "comune/esiti_comuni.h"

namespace borvan::test {
namespace {

// A second start ends at once with code 0 and the first goes on, holding its lock file with no
// sharing at all. (One that ended keeps no later one out: AmbienteWin32's test.)
TEST(ProgrammaWin32, UnaSolaIstanza) {
  Installazione installazione;
  auto primo = installazione.avvia();
  ASSERT_TRUE(primo);
  ASSERT_TRUE(installazione.lavoro("A 1\r\n"));
  const HANDLE blocco = CreateFileA(installazione.percorso("BorvanIF.LCK").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(blocco, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (blocco != INVALID_HANDLE_VALUE) CloseHandle(blocco);
  const auto secondo = installazione.avvia();
  ASSERT_TRUE(secondo);
  ASSERT_TRUE(attendi([&] { return !secondo->in_vita(); })) << "the second instance still runs";
  EXPECT_EQ(secondo->uscita(), 0u);
  ASSERT_TRUE(installazione.lavoro("A 2\r\n"));
  EXPECT_TRUE(primo->in_vita());
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "A 1\r\nA 2\r\n");
}

// The command file's folder watched through the system's change notifications: a job starts the
// moment its file lands, other files do not keep the program busy; a folder that cannot be
// watched is polled.
TEST(ProgrammaWin32, UnLavoroPartePrimaDelPoll) {
  Installazione installazione(poll_lento);
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  verifica_sorveglianza(installazione, *programma);
  EXPECT_TRUE(programma->in_vita());
}

TEST(ProgrammaWin32, UnaCartellaNonSorvegliabileSiControllaColPoll) {
  verifica_cartella_non_sorvegliabile();
}

// Files by the C library's narrow names, as a point-of-sale program written in C reaches them:
// the system's code page reads those names, not the C++ library's path conversion.
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

// A command file and a result file named, folder included, with bytes that the system's code
// page and the C++ library's path conversion read differently: the job is found, printed, its
// outcome written where configured, and the command file deleted.
TEST(ProgrammaWin32, NomiConByteDa0x80A0x9F) {
  CartellaTemporanea base;
  const std::string cartella = base.percorso("") + "Cass\x80";
  ASSERT_TRUE(CreateDirectoryA(cartella.c_str(), nullptr));
  const std::string file_comandi = cartella + "\\Scontr\x9F.ECR";
  const std::string file_result = cartella + "\\Result\x8A.TXT";
  Installazione installazione("INPUT_FILE=" + file_comandi + "\r\nRESULT_FILE=" + file_result +
                              "\r\n");
  const auto programma = installazione.avvia();
  ASSERT_TRUE(programma);
  if (FILE* file = std::fopen((file_comandi + ".tmp").c_str(), "wb")) {
    std::fputs("\x80 uno\r\ndue\r\n", file);
    std::fclose(file);
  }
  ASSERT_EQ(std::rename((file_comandi + ".tmp").c_str(), file_comandi.c_str()), 0);
  ASSERT_TRUE(attendi([&] { return esiste_c(file_result) && !esiste_c(file_comandi); }));
  EXPECT_EQ(leggi_c(file_result), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "\x80 uno\r\ndue\r\n");
  EXPECT_TRUE(programma->in_vita());
  std::remove(file_result.c_str());
  RemoveDirectoryA(cartella.c_str());
}

// Under wine too, where a file's deletion goes by its name: no job's file is lost to the next.
TEST(ProgrammaWin32, MigliaiaDiLavoriUnoDopoLAltro) {
  Installazione installazione("POLLING_TIME=11\r\n");
  const auto programma = installazione.avvia();
  verifica_lavori_consecutivi(installazione, 4000);
  EXPECT_TRUE(programma->in_vita());
}

TEST(ProgrammaWin32, UnFileComandiScrittoSulPosto) {
  verifica_scrittura_in_due_tempi();
}

// The point-of-sale program still reading the previous outcome as the C library's "rb" reads it
// (sharing writes, not deletion) when the next one is ready: the next one lands all the same,
// in the old file's place once the reader lets go, or written into it while the reader holds on.
TEST(ProgrammaWin32, UnEsitoArrivaMentreIlPrecedenteELetto) {
  for (const auto tenuto : {500ms, 3000ms}) {
    SCOPED_TRACE(tenuto.count());
    Installazione installazione;
    const auto programma = installazione.avvia();
    ASSERT_TRUE(programma);
    ASSERT_TRUE(installazione.lavoro("A\r\n"));
    installazione.scrivi("ECRSIM.CFG", "REFUSE_LINE=1\r\nREFUSE_CODE=7\r\n");
    std::FILE* lettore = std::fopen(installazione.percorso("Result.TXT").c_str(), "rb");
    ASSERT_NE(lettore, nullptr);
    installazione.deponi("B\r\n");
    // Held while the new outcome waits beside it, and for `tenuto` more.
    const bool pronto = attendi([&] { return installazione.esiste("Result.TXT.tmp"); });
    std::this_thread::sleep_for(tenuto);
    std::fclose(lettore);
    ASSERT_TRUE(pronto);
    ASSERT_TRUE(attendi([&] { return !installazione.esiste("Scontr.ECR"); }));
    EXPECT_EQ(installazione.leggi("Result.TXT"), "7\r\n" + cassa + "7\r\n");
    const std::string log = installazione.leggi("BorvanIF.LOG");
    EXPECT_TRUE(log.ends_with("\t7\t" + cassa + "7\r\n")) << log;
  }
}

// A folder whose name the system's code page cannot spell: the program says so at start and
// ends, writing nothing, instead of failing every job.
TEST(ProgrammaWin32, UnaCartellaCheLaCodePageNonSaScrivere) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the UTF-8 code page spells every name";
  CartellaTemporanea base;
  const std::wstring cartella =
      std::filesystem::path(base.percorso("")).wstring() + L"Cassa \u2603";
  std::string binario = BORVAN_BINARIO;
  if (binario.starts_with("/")) binario.insert(0, "Z:");
  ASSERT_TRUE(CreateDirectoryW(cartella.c_str(), nullptr));
  std::wstring programma = cartella + L"\\BorvanIF.exe";
  ASSERT_TRUE(CopyFileW(std::filesystem::path(binario).wstring().c_str(), programma.c_str(), TRUE));
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
  wchar_t testo[1024] = {};
  GetDlgItemTextW(casella, 0xFFFF, testo, 1024);
  EXPECT_NE(std::wstring(testo).find(cartella), std::wstring::npos);
  PostMessageW(casella, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(attendi([&] { return !processo.in_vita(); }));
  EXPECT_EQ(processo.uscita(), 1u);
  for (const wchar_t* nome : {L"\\BorvanIF.LCK", L"\\BorvanIF.LOG", L"\\Result.TXT"})
    EXPECT_EQ(GetFileAttributesW((cartella + nome).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace borvan::test

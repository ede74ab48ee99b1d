#include "win32/rapporto_arresto.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <regex>
#include <string>

#include "comune/cartella_temporanea.h"
#include "comune/comandi_windows.h"

namespace borvan::win32 {
namespace {

// A stack overflow (reported from other threads) and abort() in a GUI program, with no box of
// the C runtime's waiting for a click, leave the dump and the log line, and end with the crash's
// code; a crash that holds the heap's lock leaves the dump. An unhandled exception is the
// program's crash test's.
TEST(RapportoArresto, OgniModoDiCadereLasciaDumpERiga) {
  struct Caduta {
    const char* modo;
    DWORD codice;
    std::string causa;  // empty: no log line can be written
  };
  const std::string luogo = " in borvan_arresto.exe";
  const Caduta cadute[] = {{"pila", EXCEPTION_STACK_OVERFLOW, "eccezione 0xC00000FD" + luogo},
                           {"abort", 0x40000015, "interruzione del programma (0x40000015)" + luogo},
                           {"mucchio", EXCEPTION_ACCESS_VIOLATION, ""}};
  const std::regex nome_rapporto("BorvanIF-[0-9]{8}-[0-9]{6}\\.dmp");
  const std::string programma = test::percorso_windows(BORVAN_ARRESTO);
  for (const Caduta& caduta : cadute) {
    SCOPED_TRACE(caduta.modo);
    test::CartellaTemporanea cartella;
    // The folder ends with its separator, doubled before the closing quote.
    EXPECT_EQ(test::esegui(
                  "\"" + programma + "\" " + caduta.modo + " \"" + cartella.percorso("") + "\\\"",
                  std::chrono::seconds(120)),
              caduta.codice);
    std::string rapporto;
    for (const auto& voce : std::filesystem::directory_iterator(cartella.percorso("")))
      if (std::regex_match(voce.path().filename().string(), nome_rapporto))
        rapporto = voce.path().filename().string();
    ASSERT_NE(rapporto, "");
    EXPECT_GT(std::filesystem::file_size(cartella.percorso(rapporto)), 0u);
    const std::string log = cartella.leggi("BorvanIF.LOG");
    if (caduta.causa.empty()) continue;
    EXPECT_TRUE(log.ends_with("\t\tBorvanIF terminato da un errore grave: " + caduta.causa +
                              "; rapporto " + rapporto + "\r\n"))
        << log;
  }
}

}  // namespace
}  // namespace borvan::win32

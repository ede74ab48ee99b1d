#include "support/file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "comune/cartella_temporanea.h"
#include "comune/disco_pieno.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

namespace fs = std::filesystem;

TEST(DividiRighe, CrLfOCrIsolatoChiudonoLaRigaLfNo) {
  const std::pair<const char*, std::vector<std::string>> casi[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\n", {"a\nb\n"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& [testo, righe] : casi) EXPECT_EQ(dividi_righe(testo), righe) << testo;
}

// Only a regular file exists, found with spaces around its name, and only one is read: a FIFO
// would block the program. Deleting passes every failure over, takes read-only files, never a
// folder, and does not trim the name.
TEST(File, EsisteECancella) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("x.txt", "1");
  const std::string x = cartella.percorso("x.txt"), sub = cartella.percorso("sub");
  fs::create_directory(sub);
#ifdef _WIN32
  const std::string fifo = "NUL";  // no FIFO here: a device is no file either
#else
  const std::string fifo = cartella.percorso("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
#endif
  EXPECT_TRUE(file_esiste("  " + x + "  "));
  for (const std::string& no :
       {std::string("  "), sub, fifo, std::string("/dev/null"), cartella.percorso("manca/x.txt")})
    EXPECT_FALSE(file_esiste(no)) << no;
  for (const std::string& no : {sub, fifo}) {
    try {
      leggi_file(no);
      ADD_FAILURE() << no << " was read";
    } catch (const ErroreRuntime& e) {
      EXPECT_EQ(e.numero(), codice_errore::accesso_percorso) << no;
    }
  }
  for (const std::string& nome : {" " + x, sub, std::string()}) cancella_file(nome);
  EXPECT_TRUE(cartella.esiste("x.txt"));
  EXPECT_TRUE(cartella.esiste("sub"));
  fs::permissions(x, fs::perms::owner_read);
  cancella_file(x);
  EXPECT_FALSE(cartella.esiste("x.txt"));
}

// A file that cannot be written whole keeps its old content, and nothing is left beside it.
TEST(File, ScriviFileInteroONiente) {
  if (!test::disco_pieno_simulabile) GTEST_SKIP() << "no way to fill the disk here";
  test::CartellaTemporanea cartella;
  cartella.scrivi("Result.TXT", "0\r\nvecchio\r\n");
  {
    test::DiscoPieno pieno(4);
    EXPECT_THROW(scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n"),
                 ErroreRuntime);
  }
  EXPECT_EQ(cartella.leggi("Result.TXT"), "0\r\nvecchio\r\n");
  EXPECT_FALSE(cartella.esiste("Result.TXT.tmp"));
  scrivi_file(cartella.percorso("Result.TXT"), "-100\r\nTimeout stampa\r\n");
  EXPECT_EQ(cartella.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
}

}  // namespace
}  // namespace borvan

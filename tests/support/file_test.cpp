#include "support/file.h"

#include <gtest/gtest.h>

#include "comune/cartella_temporanea.h"

namespace borvan {
namespace {

namespace fs = std::filesystem;

// The common cases are the main window's courses.
TEST(DividiRighe, CrLfOCrIsolatoChiudonoLaRigaLfNo) {
  const std::pair<const char*, std::vector<std::string>> casi[] = {
      {"", {}},
      {"a", {"a"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& [testo, righe] : casi) EXPECT_EQ(dividi_righe(testo), righe) << testo;
}

// Only a file exists, found with spaces around its name; deleting passes every failure over,
// takes read-only files, never a folder, and does not trim the name.
TEST(File, EsisteECancella) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("x.txt", "1");
  const std::string x = cartella.percorso("x.txt"), sub = cartella.percorso("sub");
  fs::create_directory(sub);
  EXPECT_TRUE(file_esiste("  " + x + "  "));
  for (const std::string& no : {std::string("  "), sub, cartella.percorso("manca/x.txt")})
    EXPECT_FALSE(file_esiste(no)) << no;
  for (const std::string& nome : {" " + x, sub, std::string()}) cancella_file(nome);
  EXPECT_TRUE(cartella.esiste("x.txt"));
  EXPECT_TRUE(cartella.esiste("sub"));
  fs::permissions(x, fs::perms::owner_read);
  cancella_file(x);
  EXPECT_FALSE(cartella.esiste("x.txt"));
}

}  // namespace
}  // namespace borvan

#include "support/file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "comune/cartella_temporanea.h"

namespace borvan {
namespace {

namespace fs = std::filesystem;

TEST(DividiRighe, CrLfOCrIsolatoChiudonoLaRigaLfNo) {
  struct Caso {
    const char* testo;
    std::vector<std::string> righe;
  };
  const Caso casi[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\n", {"a\nb\n"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& c : casi) EXPECT_EQ(dividi_righe(c.testo), c.righe) << c.testo;
}

TEST(File, EsisteSoloUnFileETrovatoSenzaSpaziAttorno) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("x.txt", "1");
  fs::create_directory(cartella.percorso("sub"));
  struct Caso {
    std::string percorso;
    bool esiste;
  };
  const Caso casi[] = {
      {"", false},
      {"   ", false},
      {cartella.percorso("x.txt"), true},
      {"  " + cartella.percorso("x.txt") + "  ", true},
      {cartella.percorso("sub"), false},
      {cartella.percorso("manca.txt"), false},
      {cartella.percorso("manca/x.txt"), false},
  };
  for (const auto& c : casi) EXPECT_EQ(file_esiste(c.percorso), c.esiste) << c.percorso;
}

TEST(File, CancellaInSilenzioAncheSolaLetturaMaiUnaCartella) {
  test::CartellaTemporanea cartella;
  cartella.scrivi("ro.txt", "1");
  fs::permissions(cartella.percorso("ro.txt"), fs::perms::owner_read);
  cancella_file(cartella.percorso("ro.txt"));
  EXPECT_FALSE(cartella.esiste("ro.txt"));

  fs::create_directory(cartella.percorso("sub"));
  cancella_file(cartella.percorso("sub"));
  cancella_file(cartella.percorso("manca.txt"));
  cancella_file("");
  EXPECT_TRUE(cartella.esiste("sub"));

  cartella.scrivi("x.txt", "1");
  cancella_file(" " + cartella.percorso("x.txt"));  // not trimmed: names another file
  EXPECT_TRUE(cartella.esiste("x.txt"));
}

}  // namespace
}  // namespace borvan

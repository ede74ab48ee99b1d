#include "support/percorsi.h"

#include <gtest/gtest.h>

namespace borvan {
namespace {

constexpr StilePercorso w = StilePercorso::windows, p = StilePercorso::posix;

// On POSIX a backslash is a separator too and a colon an ordinary character.
TEST(Percorsi, CartellaENormalizzazione) {
  struct Caso {
    StilePercorso stile;
    const char* percorso;
    const char* cartella;      // its folder
    const char* normalizzato;  // the path as a folder
  };
  const Caso casi[] = {
      {w, R"(C:\dati\sub\x.txt)", R"(C:\dati\sub)", R"(C:\dati\sub\x.txt\)"},
      {w, "C:/dati/x.txt", "C:/dati", R"(C:\dati\x.txt\)"},
      {w, "C:x.txt", "C:", R"(C:x.txt\)"},
      {w, R"( C:\dati\ )", R"(C:\dati)", R"(C:\dati\)"},
      {w, R"(C:\dati \x.txt)", R"(C:\dati)", R"(C:\dati \x.txt\)"},
      {w, "", "", R"(\)"},
      {p, R"(sub\dir\x.txt)", "sub/dir", "sub/dir/x.txt/"},
      {p, "C:x.txt", "", "C:x.txt/"},
  };
  for (const Caso& caso : casi) {
    EXPECT_EQ(estrai_cartella(caso.percorso, caso.stile), caso.cartella) << caso.percorso;
    EXPECT_EQ(normalizza_percorso(caso.percorso, caso.stile), caso.normalizzato) << caso.percorso;
  }
  EXPECT_EQ(separatori_nativi("C:/a\\b", w), "C:/a\\b");
  EXPECT_EQ(separatori_nativi(R"(a\b/c)", p), "a/b/c");
}

// A setting's path from the program's folder, where it leads whatever the current folder.
TEST(Percorsi, PercorsoRisolto) {
  struct Caso {
    StilePercorso stile;
    const char* percorso;
    const char* cartella;
    const char* risolto;
  };
  const Caso casi[] = {
      {w, R"(sub\x.txt)", R"(C:\B\)", R"(C:\B\sub\x.txt)"},
      {w, R"(\dati\x.txt)", R"(C:\B\)", R"(C:\dati\x.txt)"},
      {w, R"(\dati\x.txt)", R"(\\srv\sh\B\)", R"(\\srv\sh\dati\x.txt)"},
      {w, R"(\\srv\sh\x.txt)", R"(C:\B\)", R"(\\srv\sh\x.txt)"},
      {w, R"(D:\x.txt)", R"(C:\B\)", R"(D:\x.txt)"},
      {p, "sub/x", "/opt/b/", "/opt/b/sub/x"},
      {p, R"(\x)", "/opt/b/", R"(\x)"},
  };
  for (const Caso& caso : casi)
    EXPECT_EQ(risolvi_percorso(caso.percorso, caso.cartella, caso.stile), caso.risolto)
        << caso.percorso;
}

}  // namespace
}  // namespace borvan

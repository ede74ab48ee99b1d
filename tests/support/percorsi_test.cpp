#include "support/percorsi.h"

#include <gtest/gtest.h>

namespace borvan {
namespace {

struct Caso {
  const char* percorso;
  const char* cartella;      // its folder
  const char* normalizzato;  // the path as a folder
};

void verifica(std::initializer_list<Caso> casi, StilePercorso stile) {
  for (const Caso& caso : casi) {
    EXPECT_EQ(estrai_cartella(caso.percorso, stile), caso.cartella) << caso.percorso;
    EXPECT_EQ(normalizza_percorso(caso.percorso, stile), caso.normalizzato) << caso.percorso;
  }
}

TEST(PercorsiWindows, CartellaENormalizzazione) {
  verifica(
      {
          {R"(C:\dati\sub\x.txt)", R"(C:\dati\sub)", R"(C:\dati\sub\x.txt\)"},
          {"C:/dati/x.txt", "C:/dati", R"(C:\dati\x.txt\)"},
          {R"(C:\x.txt)", "C:", R"(C:\x.txt\)"},
          {"C:x.txt", "C:", R"(C:x.txt\)"},
          {R"(\x.txt)", "", R"(\x.txt\)"},
          {R"( C:\dati\ )", R"(C:\dati)", R"(C:\dati\)"},
          {R"(\\server\share\x.txt)", R"(\\server\share)", R"(\\server\share\x.txt\)"},
          {R"(C:\dati \x.txt)", R"(C:\dati)", R"(C:\dati \x.txt\)"},
          {"C:", "C:", R"(C:\)"},
          {"", "", R"(\)"},
          {R"(C:\dati\\)", R"(C:\dati\)", R"(C:\dati\\)"},
      },
      StilePercorso::windows);
  EXPECT_EQ(separatori_nativi("C:/a\\b", StilePercorso::windows), "C:/a\\b");
  struct Risolto {
    const char* percorso;  // a setting's
    const char* cartella;  // the program's
    const char* risolto;   // where it leads whatever the current folder
  };
  const Risolto risolti[] = {
      {R"(sub\x.txt)", R"(C:\B\)", R"(C:\B\sub\x.txt)"},
      {R"(\dati\x.txt)", R"(C:\B\)", R"(C:\dati\x.txt)"},
      {R"(\dati\x.txt)", R"(\\srv\sh\B\)", R"(\\srv\sh\dati\x.txt)"},
      {R"(\\srv\sh\x.txt)", R"(C:\B\)", R"(\\srv\sh\x.txt)"},
      {R"(D:\x.txt)", R"(C:\B\)", R"(D:\x.txt)"},
      {"C:x.txt", R"(C:\B\)", "C:x.txt"},
  };
  for (const Risolto& caso : risolti)
    EXPECT_EQ(risolvi_percorso(caso.percorso, caso.cartella, StilePercorso::windows), caso.risolto)
        << caso.percorso;
}

TEST(PercorsiPosix, BarraRovesciataComeSeparatoreDuePuntiComeCarattere) {
  verifica({{R"(sub\dir\x.txt)", "sub/dir", "sub/dir/x.txt/"},
            {"C:x.txt", "", "C:x.txt/"},
            {" /opt/ ", "/opt", "/opt/"}},
           StilePercorso::posix);
  EXPECT_EQ(separatori_nativi(R"(a\b/c)", StilePercorso::posix), "a/b/c");
  EXPECT_EQ(risolvi_percorso("sub/x", "/opt/b/", StilePercorso::posix), "/opt/b/sub/x");
  EXPECT_EQ(risolvi_percorso(R"(\x)", "/opt/b/", StilePercorso::posix), R"(\x)");
}

// The folder a watch opens for a file, and the name it looks for: a drive keeps its root or its
// current folder, a root file its root, a bare name the current folder.
TEST(Percorsi, CartellaENomeDiUnFile) {
  struct Divisione {
    StilePercorso stile;
    const char* percorso;
    CartellaENome atteso;
  };
  const auto w = StilePercorso::windows, p = StilePercorso::posix;
  const Divisione casi[] = {
      {w, R"(C:\dati\Scontr.ECR)", {R"(C:\dati)", "Scontr.ECR"}},
      {w, R"(C:\Scontr.ECR)", {"C:\\", "Scontr.ECR"}},
      {w, "C:Scontr.ECR", {"C:", "Scontr.ECR"}},
      {w, "Scontr.ECR", {".", "Scontr.ECR"}},
      {p, "/opt/cassa/Scontr.ECR", {"/opt/cassa", "Scontr.ECR"}},
      {p, "/Scontr.ECR", {"/", "Scontr.ECR"}},
      {p, R"(sub\C:x)", {"sub", "C:x"}},
  };
  for (const Divisione& caso : casi)
    EXPECT_EQ(dividi_percorso(caso.percorso, caso.stile), caso.atteso) << caso.percorso;
}

}  // namespace
}  // namespace borvan

#include "support/percorsi.h"

#include <gtest/gtest.h>

namespace borvan {
namespace {

struct Caso {
  const char* percorso;
  const char* atteso;
};

TEST(PercorsiWindows, EstraiCartella) {
  const Caso casi[] = {
      {R"(C:\dati\sub\x.txt)", R"(C:\dati\sub)"},
      {"C:/dati/x.txt", "C:/dati"},
      {R"(C:\x.txt)", "C:"},
      {"C:x.txt", "C:"},
      {"x.txt", ""},
      {R"(\x.txt)", ""},
      {R"(C:\dati\)", R"(C:\dati)"},
      {R"(\\server\share\x.txt)", R"(\\server\share)"},
      {"", ""},
      {R"(C:\dati \x.txt)", R"(C:\dati)"},
  };
  for (const auto& c : casi)
    EXPECT_EQ(estrai_cartella(c.percorso, StilePercorso::windows), c.atteso) << c.percorso;
}

TEST(PercorsiWindows, NormalizzaPercorso) {
  const Caso casi[] = {
      {R"(C:\dati)", R"(C:\dati\)"},
      {R"(C:\dati\)", R"(C:\dati\)"},
      {"C:", R"(C:\)"},
      {R"(C:\)", R"(C:\)"},
      {"C:/dati/sub", R"(C:\dati\sub\)"},
      {R"( C:\dati )", R"(C:\dati\)"},
      {"", R"(\)"},
      {R"(C:\dati\\)", R"(C:\dati\\)"},
  };
  for (const auto& c : casi)
    EXPECT_EQ(normalizza_percorso(c.percorso, StilePercorso::windows), c.atteso) << c.percorso;
  EXPECT_EQ(separatori_nativi("C:/a\\b", StilePercorso::windows), "C:/a\\b");
}

TEST(PercorsiPosix, BarraRovesciataComeSeparatoreDuePuntiComeCarattere) {
  struct CasoPosix {
    const char* percorso;
    const char* cartella;
    const char* normalizzato;
  };
  const CasoPosix casi[] = {
      {"/opt/borvan/x.txt", "/opt/borvan", "/opt/borvan/x.txt/"},
      {R"(sub\dir\x.txt)", "sub/dir", "sub/dir/x.txt/"},
      {"C:x.txt", "", "C:x.txt/"},
      {" /opt/ ", "/opt", "/opt/"},
      {"x.txt", "", "x.txt/"},
      {"", "", "/"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(estrai_cartella(c.percorso, StilePercorso::posix), c.cartella) << c.percorso;
    EXPECT_EQ(normalizza_percorso(c.percorso, StilePercorso::posix), c.normalizzato) << c.percorso;
  }
  EXPECT_EQ(separatori_nativi(R"(a\b/c)", StilePercorso::posix), "a/b/c");
}

}  // namespace
}  // namespace borvan

#include "support/percorsi.h"

#include <gtest/gtest.h>

namespace borvan {
namespace {

using Caso = std::pair<const char*, const char*>;

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
      {R"(C:\dati \x.txt)", R"(C:\dati)"},
  };
  for (const auto& [percorso, atteso] : casi)
    EXPECT_EQ(estrai_cartella(percorso, StilePercorso::windows), atteso) << percorso;
}

TEST(PercorsiWindows, NormalizzaPercorso) {
  const Caso casi[] = {
      {R"(C:\dati)", R"(C:\dati\)"},      {R"(C:\dati\)", R"(C:\dati\)"},  {"C:", R"(C:\)"},
      {"C:/dati/sub", R"(C:\dati\sub\)"}, {R"( C:\dati )", R"(C:\dati\)"}, {"", R"(\)"},
      {R"(C:\dati\\)", R"(C:\dati\\)"},
  };
  for (const auto& [percorso, atteso] : casi)
    EXPECT_EQ(normalizza_percorso(percorso, StilePercorso::windows), atteso) << percorso;
  EXPECT_EQ(separatori_nativi("C:/a\\b", StilePercorso::windows), "C:/a\\b");
}

TEST(PercorsiPosix, BarraRovesciataComeSeparatoreDuePuntiComeCarattere) {
  const std::tuple<const char*, const char*, const char*> casi[] = {
      {"/opt/borvan/x.txt", "/opt/borvan", "/opt/borvan/x.txt/"},
      {R"(sub\dir\x.txt)", "sub/dir", "sub/dir/x.txt/"},
      {"C:x.txt", "", "C:x.txt/"},
      {" /opt/ ", "/opt", "/opt/"},
  };
  for (const auto& [percorso, cartella, normalizzato] : casi) {
    EXPECT_EQ(estrai_cartella(percorso, StilePercorso::posix), cartella) << percorso;
    EXPECT_EQ(normalizza_percorso(percorso, StilePercorso::posix), normalizzato) << percorso;
  }
  EXPECT_EQ(separatori_nativi(R"(a\b/c)", StilePercorso::posix), "a/b/c");
}

}  // namespace
}  // namespace borvan

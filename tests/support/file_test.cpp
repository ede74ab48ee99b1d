#include "support/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "comune/cartella_temporanea.h"
#include "support/lettura.h"

namespace borvan {
namespace {

namespace fs = std::filesystem;

// An empty line inside is a line too, and a last line needs no end.
TEST(DividiRighe, UnaRigaVuotaEUnaRigaSenzaFine) {
  EXPECT_EQ(dividi_righe("a\r\r\nb"), (std::vector<std::string>{"a", "", "b"}));
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

// Every routine takes an 8-bit name as the C library the point-of-sale programs use does: on
// Windows the bytes 0x80-0x9F are where two conversions differ.
TEST(Nomi8bit, OgniRoutineVedeIlFileCheScriveFopen) {
  test::CartellaTemporanea cartella;
  for (const char* nome : {"Scontr\x80\x9F.ECR", "Cass\xE8.ECR"}) {
    SCOPED_TRACE(nome);
    const std::string percorso = cartella.cartella() + nome;
    std::FILE* file = std::fopen(percorso.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("uno\r\n", file), std::fclose(file);
    EXPECT_TRUE(file_esiste(percorso));
    aggiungi_a_file(percorso, "due\r\n");
    EXPECT_EQ(leggi_file(percorso), "uno\r\ndue\r\n");
    cancella_file(percorso);
    file = std::fopen(percorso.c_str(), "rb");
    EXPECT_EQ(file, nullptr);
    if (file != nullptr) std::fclose(file);
  }
}

// A path the system cuts short to its buffer is asked again with room, never taken cut.
TEST(LeggiTestoDiSistema, UnTestoTroncatoERichiestoPerIntero) {
  for (const size_t lunghezza : {size_t{0}, size_t{259}, size_t{260}, size_t{520}, size_t{2000}}) {
    SCOPED_TRACE(lunghezza);
    const std::string percorso(lunghezza, 'c');
    // As GetModuleFileName: what fits, and the buffer's size when that is not all.
    const std::string letto = leggi_testo_di_sistema<char>([&](char* dove, size_t quanti) {
      const size_t scritti = std::min(quanti, percorso.size());
      std::copy_n(percorso.begin(), scritti, dove);
      return scritti < percorso.size() ? quanti : scritti;
    });
    EXPECT_EQ(letto, percorso);
  }
}

}  // namespace
}  // namespace borvan

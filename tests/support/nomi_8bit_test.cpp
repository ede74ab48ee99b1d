#include <gtest/gtest.h>

#include <cstdio>

#include "comune/cartella_temporanea.h"
#include "support/file.h"
#include "support/sistema.h"

namespace borvan {
namespace {

// Whether the C library (which the point-of-sale programs write with) sees a file there.
bool visto_da_fopen(const std::string& percorso) {
  std::FILE* file = std::fopen(percorso.c_str(), "rb");
  if (file != nullptr) std::fclose(file);
  return file != nullptr;
}

void crea_con_fopen(const std::string& percorso, const std::string& contenuto) {
  std::FILE* file = std::fopen(percorso.c_str(), "wb");
  ASSERT_NE(file, nullptr) << percorso;
  std::fwrite(contenuto.data(), 1, contenuto.size(), file);
  std::fclose(file);
}

// A command file is named in the system's 8-bit code page. Every routine must take the name as
// the C library takes it: on Windows the bytes 0x80-0x9F are where two conversions differ, and
// a file found by one routine and missed by another is printed and then never deleted.
TEST(Nomi8bit, OgniRoutineVedeIlFileCheScriveFopen) {
  const char* const nomi[] = {"Scontr.ECR", "Scontr\x80.ECR", "\x9F\x8A.ECR", "Cass\xE8.ECR"};
  test::CartellaTemporanea cartella;
  for (const char* nome : nomi) {
    SCOPED_TRACE(nome);
    const std::string percorso = cartella.cartella() + nome;
    crea_con_fopen(percorso, "uno\r\n");
    EXPECT_TRUE(file_esiste(percorso));
    aggiungi_a_file(percorso, "due\r\n");
    const FileLetto letto = leggi_file_regolare(percorso, 100);
    EXPECT_EQ(letto.contenuto, "uno\r\ndue\r\n");
    EXPECT_EQ(identita_file(percorso), letto.identita);
    EXPECT_TRUE(cancella_se_identico(percorso, letto.identita));
    EXPECT_FALSE(visto_da_fopen(percorso));

    scrivi_file(percorso, "tre\r\n");
    EXPECT_EQ(leggi_file(percorso), "tre\r\n");
    EXPECT_TRUE(visto_da_fopen(percorso));
    cancella_file(percorso);
    EXPECT_FALSE(visto_da_fopen(percorso));
    EXPECT_FALSE(file_esiste(percorso));
  }
}

}  // namespace
}  // namespace borvan

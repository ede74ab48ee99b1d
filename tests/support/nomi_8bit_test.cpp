#include <gtest/gtest.h>

#include <cstdio>

#include "comune/cartella_temporanea.h"
#include "support/file.h"

namespace borvan {
namespace {

// Files are named in the system's 8-bit code page, and every routine must take the name as the
// C library (which the point-of-sale programs write with) takes it: on Windows the bytes
// 0x80-0x9F are where two conversions differ. The routines of a job are proven, on Windows, by
// a whole job over such names; these are the ones of the settings, the log and a failed result.
TEST(Nomi8bit, OgniRoutineVedeIlFileCheScriveFopen) {
  test::CartellaTemporanea cartella;
  for (const char* nome : {"Scontr\x80\x9F.ECR", "Cass\xE8.ECR"}) {
    SCOPED_TRACE(nome);
    const std::string percorso = cartella.cartella() + nome;
    std::FILE* file = std::fopen(percorso.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("uno\r\n", file);
    std::fclose(file);
    EXPECT_TRUE(file_esiste(percorso));
    aggiungi_a_file(percorso, "due\r\n");
    EXPECT_EQ(leggi_file(percorso), "uno\r\ndue\r\n");
    cancella_file(percorso);
    file = std::fopen(percorso.c_str(), "rb");
    EXPECT_EQ(file, nullptr);
    if (file != nullptr) std::fclose(file);
  }
}

}  // namespace
}  // namespace borvan

#include "support/scegli_file.h"

#include <gtest/gtest.h>

#include <string>

#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"

namespace borvan {
namespace {

using namespace std::string_literals;

TEST(SceltaFile, FiltroEBuffer) {
  EXPECT_EQ(filtro_per_finestra("Tutti i file (*.*)|*.*"), "Tutti i file (*.*)\0*.*\0\0"s);
  EXPECT_EQ(filtro_per_finestra("Testo: note|*.txt"), "Testo\0 note\0*.txt\0\0"s);
  EXPECT_EQ(filtro_per_finestra(""), "\0\0"s);
  EXPECT_EQ(filtro_per_finestra(std::string(32766, 'a')).size(), 32768u);
  EXPECT_THROW(filtro_per_finestra(std::string(32767, 'a')), ErroreRuntime);

  EXPECT_EQ(buffer_nome_file(""), std::string(260, '\0'));
  EXPECT_EQ(buffer_nome_file("x.txt"), "x.txt" + std::string(255, '\0'));
  EXPECT_EQ(buffer_nome_file(std::string(260, 'n')), std::string(260, 'n'));
  EXPECT_THROW(buffer_nome_file(std::string(261, 'n')), ErroreRuntime);

  EXPECT_EQ(stringa_da_buffer(buffer_nome_file("C:\\a.txt")), "C:\\a.txt");
  EXPECT_EQ(stringa_da_buffer("senza nul"), "senza nul");
}

TEST(SceltaFile, LaRichiestaPreparataEIlPercorsoScelto) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  operatore.risposte_file.push_back("/dati/scelto.txt");
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "/dati", "proposto.txt", operatore, errori),
            "/dati/scelto.txt");
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "", "proposto.txt", operatore, errori), "");
  const RichiestaSalvaFile& r = operatore.richieste_file.at(0);
  EXPECT_EQ(r.titolo, "Titolo");
  EXPECT_EQ(r.filtro, "Tutti\0*.*\0\0"s);
  EXPECT_EQ(r.indice_filtro, 1);
  EXPECT_EQ(r.cartella_iniziale, "/dati");
  EXPECT_EQ(r.buffer_nome, buffer_nome_file("proposto.txt"));
  EXPECT_TRUE(errori.ricevuti.empty());
}

// A retry fails the same way; giving up returns nothing and the chooser is never shown.
TEST(SceltaFile, ArgomentiTroppoLunghiPassanoPerLaRoutineDegliErrori) {
  const std::pair<std::string, std::string> casi[] = {{std::string(32767, 'a'), ""},
                                                      {"*|*", std::string(261, 'n')}};
  for (const auto& [filtro, nome] : casi) {
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    errori.risposte = {risposta_riprova};
    EXPECT_EQ(scegli_file("T", filtro, "", nome, operatore, errori), "");
    EXPECT_EQ(errori.ricevuti.size(), 2u);
    EXPECT_EQ(errori.ricevuti.at(0).numero(), nome.empty() ? 6 : 5);
    EXPECT_TRUE(operatore.richieste_file.empty());
  }
}

}  // namespace
}  // namespace borvan

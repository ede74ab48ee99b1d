#include "support/scegli_file.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

using namespace std::string_literals;

TEST(SceltaFile, FiltroEBuffer) {
  EXPECT_EQ(filtro_per_finestra("Testo: note|*.txt"), "Testo\0 note\0*.txt\0\0"s);
  EXPECT_EQ(filtro_per_finestra(""), "\0\0"s);
  EXPECT_EQ(filtro_per_finestra(std::string(32766, 'a')).size(), 32768u);
  EXPECT_THROW(filtro_per_finestra(std::string(32767, 'a')), ErroreRuntime);

  EXPECT_EQ(buffer_nome_file("x.txt"), "x.txt" + std::string(255, '\0'));
  EXPECT_EQ(buffer_nome_file(std::string(260, 'n')), std::string(260, 'n'));
  EXPECT_THROW(buffer_nome_file(std::string(261, 'n')), ErroreRuntime);

  EXPECT_EQ(stringa_da_buffer(buffer_nome_file("C:\\a.txt")), "C:\\a.txt");
  EXPECT_EQ(stringa_da_buffer("senza nul"), "senza nul");
}

// The chooser gets the prepared request; the chosen path comes back, "" when cancelled. Too long
// a name fails again on retry; given up, the chooser is not shown.
TEST(SceltaFile, LaRichiestaPreparataEIlPercorsoScelto) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  operatore.risposte_file = {"/dati/scelto.txt"};  // then cancelled
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "/dati", "proposto.txt", operatore, errori),
            "/dati/scelto.txt");
  EXPECT_EQ(scegli_file("Titolo", "Tutti|*.*", "", "", operatore, errori), "");
  const RichiestaSalvaFile& r = operatore.richieste_file.at(0);
  EXPECT_EQ(r.titolo, "Titolo");
  EXPECT_EQ(r.cartella_iniziale, "/dati");
  EXPECT_EQ(r.indice_filtro, 1);
  EXPECT_EQ(r.filtro, "Tutti\0*.*\0\0"s);
  EXPECT_EQ(r.buffer_nome, buffer_nome_file("proposto.txt"));
  errori.risposte = {risposta_riprova};
  EXPECT_EQ(scegli_file("T", "*|*", "", std::string(261, 'n'), operatore, errori), "");
  EXPECT_EQ(errori.ricevuti.size(), 2u);
  EXPECT_EQ(operatore.richieste_file.size(), 2u);
}

}  // namespace
}  // namespace borvan

#include "support/numeri.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

// In "1.000,50" the comma is a second point and ends the number; CR is not ignored; an overflow
// is reported once (error 6), retry or not, and reads as 0.
TEST(ConvertiNumero, LeggeIlNumeroInizialeSempreAlloStessoModo) {
  struct Caso {
    std::string testo;
    double valore;
    size_t segnalati;  // overflows reported
  };
  const Caso casi[] = {
      {"1500", 1500, 0}, {"1,5", 1.5, 0},    {"1.000,50", 1, 0}, {"1'500,25", 1500.25, 0},
      {"20 sec", 20, 0}, {"1 000", 1000, 0}, {" \t1\n2", 12, 0}, {"1\r2", 1, 0},
      {"-7", -7, 0},     {"--7", 0, 0},      {",5", 0.5, 0},     {"0.05", 0.05, 0},
      {"1E3", 1000, 0},  {"2,5d2", 250, 0},  {"1e-2", 0.01, 0},  {"1E", 1, 0},
      {"E3", 0, 0},      {"&H10", 16, 0},    {"&hff", 255, 0},   {"&O17", 15, 0},
      {"&X1", 0, 0},     {"1E-400", 0, 0},   {"1E400", 0, 1},    {std::string(400, '9'), 0, 1},
  };

  for (const Caso& caso : casi) {
    test::ErroriFinti errori;
    errori.risposte = {risposta_riprova, risposta_riprova};
    EXPECT_DOUBLE_EQ(converti_numero(caso.testo, errori), caso.valore) << caso.testo;
    EXPECT_EQ(errori.ricevuti.size(), caso.segnalati) << caso.testo;
    for (const auto& e : errori.ricevuti) EXPECT_EQ(e.numero(), codice_errore::overflow);
  }
}

}  // namespace
}  // namespace borvan

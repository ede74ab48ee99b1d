#include "support/trappola.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

// The second of three steps fails twice: only it runs again, while the answer is 4 (only 4).
TEST(Trappola, RiprovaSoloIlPassoFallitoFinCheSiRispondeRiprova) {
  struct Caso {
    std::deque<int16_t> risposte;
    bool completata;
    int secondo, terzo;  // how many times the second and third steps ran
  };
  const Caso casi[] = {{{4, 4}, true, 3, 1}, {{4, 2}, false, 2, 0}, {{1}, false, 1, 0}};
  for (const Caso& caso : casi) {
    test::ErroriFinti errori;
    errori.risposte = caso.risposte;
    int primo = 0, secondo = 0, terzo = 0;
    Trappola passo{errori};
    const auto fallisce_due_volte = [&] {
      if (++secondo <= 2) throw ErroreRuntime(codice_errore::errore_io);
    };
    EXPECT_EQ(passo([&] { ++primo; }) && passo(fallisce_due_volte) && passo([&] { ++terzo; }),
              caso.completata);
    EXPECT_EQ(primo, 1);
    EXPECT_EQ(secondo, caso.secondo);
    EXPECT_EQ(terzo, caso.terzo);
    EXPECT_EQ(errori.ricevuti.at(0).numero(), codice_errore::errore_io);
  }
}

}  // namespace
}  // namespace borvan

#include "support/trappola.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

// The second of three steps fails twice: only it runs again, while the answer is 4 (only 4).
TEST(Trappola, RiprovaSoloIlPassoFallitoFinCheSiRispondeRiprova) {
  const std::tuple<std::deque<int16_t>, bool, int, int> casi[] = {
      {{4, 4}, true, 3, 1}, {{4, 2}, false, 2, 0}, {{1}, false, 1, 0}, {{6}, false, 1, 0}};
  for (const auto& [risposte, completata, secondo_atteso, terzo_atteso] : casi) {
    test::ErroriFinti errori;
    errori.risposte = risposte;
    int primo = 0, secondo = 0, terzo = 0;
    Trappola passo{errori};
    const auto fallisce_due_volte = [&] {
      if (++secondo <= 2) throw ErroreRuntime(codice_errore::errore_io);
    };
    EXPECT_EQ(passo([&] { ++primo; }) && passo(fallisce_due_volte) && passo([&] { ++terzo; }),
              completata);
    EXPECT_EQ(primo, 1);
    EXPECT_EQ(secondo, secondo_atteso);
    EXPECT_EQ(terzo, terzo_atteso);
    EXPECT_EQ(errori.ricevuti.at(0).numero(), codice_errore::errore_io);
  }
}

}  // namespace
}  // namespace borvan

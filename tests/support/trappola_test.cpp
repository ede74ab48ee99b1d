#include "support/trappola.h"

#include <gtest/gtest.h>

#include "comune/errori_finti.h"

namespace borvan {
namespace {

TEST(Trappola, RiprovaSoloIlPassoFallitoFinCheSiRispondeRiprova) {
  struct Caso {
    std::deque<int16_t> risposte;
    bool completata;
    int esecuzioni_secondo_passo;
    int esecuzioni_terzo_passo;
  };
  const Caso casi[] = {
      {{4, 4}, true, 3, 1},  // fails twice, retried twice, then goes through
      {{4, 2}, false, 2, 0},
      {{1}, false, 1, 0},  // only 4 means retry
      {{6}, false, 1, 0},
  };
  for (const auto& caso : casi) {
    test::ErroriFinti errori;
    errori.risposte = caso.risposte;
    int primo = 0, secondo = 0, terzo = 0;
    const auto procedura = [&] {
      Trappola passo{errori};
      if (!passo([&] { ++primo; })) return false;
      if (!passo([&] {
            if (++secondo <= 2) throw ErroreRuntime(codice_errore::errore_io);
          }))
        return false;
      return passo([&] { ++terzo; });
    };
    EXPECT_EQ(procedura(), caso.completata);
    EXPECT_EQ(primo, 1);
    EXPECT_EQ(secondo, caso.esecuzioni_secondo_passo);
    EXPECT_EQ(terzo, caso.esecuzioni_terzo_passo);
    ASSERT_FALSE(errori.ricevuti.empty());
    EXPECT_EQ(errori.ricevuti[0].numero(), codice_errore::errore_io);
  }
}

}  // namespace
}  // namespace borvan

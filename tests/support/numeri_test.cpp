#include "support/numeri.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "comune/errori_finti.h"

namespace borvan {
namespace {

TEST(ConvertiNumero, LeggeIlNumeroInizialeSempreAlloStessoModo) {
  struct Caso {
    const char* testo;
    double valore;
  };
  const Caso casi[] = {
      {"1500", 1500},  {"1'500", 1500},
      {"1,5", 1.5},    {"1'500,25", 1500.25},
      {"1.000,50", 1},  // the comma becomes a second point, which ends the number
      {"20 sec", 20},  {"1 000", 1000},
      {" \t1\n2", 12}, {"1\r2", 1},  // a carriage return is not ignored
      {"-7", -7},      {"+7", 7},
      {"--7", 0},      {",5", 0.5},
      {"0.05", 0.05},  {"5.", 5},
      {"1E3", 1000},   {"2,5d2", 250},
      {"1e-2", 0.01},  {"1E", 1},
      {"1E+x", 1},     {"E3", 0},
      {"&H10", 16},    {"&hff", 255},
      {"&O17", 15},    {"&X1", 0},
      {"$5", 0},       {"abc", 0},
      {"", 0},         {"1E-400", 0},
  };
  for (const auto& caso : casi) {
    test::ErroriFinti errori;
    EXPECT_DOUBLE_EQ(converti_numero(caso.testo, errori), caso.valore) << caso.testo;
    EXPECT_TRUE(errori.ricevuti.empty()) << caso.testo;
  }
}

TEST(ConvertiNumero, OverflowSegnalatoUnaVoltaSolaAncheSeSiRispondeRiprova) {
  const std::string testi[] = {"1E400", "-9D999", std::string(400, '9')};
  for (const auto& testo : testi) {
    test::ErroriFinti errori;
    errori.risposte = {risposta_riprova, risposta_riprova, risposta_riprova};
    EXPECT_EQ(converti_numero(testo, errori), 0) << testo;
    ASSERT_EQ(errori.ricevuti.size(), 1u) << testo;
    EXPECT_EQ(errori.ricevuti[0].numero(), codice_errore::overflow);
  }
}

TEST(ArrotondaIntero, MetaVersoIlPariEOverflowFuoriDai32Bit) {
  struct Caso {
    double valore;
    int32_t atteso;
  };
  const Caso casi[] = {{10.5, 10},
                       {59.5, 60},
                       {11.5, 12},
                       {-2.5, -2},
                       {-3.5, -4},
                       {2.4999, 2},
                       {2.5001, 3},
                       {-0.4, 0},
                       {0.5, 0},
                       {1.5, 2},
                       {2147483647.4, 2147483647},
                       {-2147483648.5, -2147483648}};
  for (const auto& caso : casi)
    EXPECT_EQ(arrotonda_intero(caso.valore), caso.atteso) << caso.valore;

  for (double fuori : {2147483647.5, -2147483649.0, 1E20, std::nan("")}) {
    EXPECT_THROW(arrotonda_intero(fuori), ErroreRuntime) << fuori;
  }
}

TEST(NumeroInTesto, QuindiciCifreSenzaZeriFinali) {
  struct Caso {
    double valore;
    char separatore;
    const char* atteso;
  };
  const Caso casi[] = {
      {5, '.', "5"},
      {-0.0, '.', "0"},
      {1.5, ',', "1,5"},
      {1500.25, '.', "1500.25"},
      {1.0 / 3, '.', "0.333333333333333"},
      {123456789012345, '.', "123456789012345"},
      {1E15, '.', "1E+15"},
      {1E20, '.', "1E+20"},
      {-2.5E-20, ',', "-2,5E-20"},
  };
  for (const auto& caso : casi) {
    EXPECT_EQ(numero_in_testo(caso.valore, caso.separatore), caso.atteso) << caso.atteso;
  }
}

}  // namespace
}  // namespace borvan

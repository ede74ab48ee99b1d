#include "app/esito.h"

#include <gtest/gtest.h>

#include <limits>

namespace borvan {
namespace {

struct CasoMessaggio {
  int32_t codice;
  std::string descrizione;
  std::string atteso;
};

TEST(Esito, MessaggioComposto) {
  const std::string cassa = "Errore di comunicazione con la cassa. Cod.";
  const CasoMessaggio casi[] = {
      {0, "", "Stampa completata correttamente"},
      {-50, "", "Errore durante l'inizializzazione della comunicazione con la cassa."},
      {-100, "", "Timeout stampa"},
      {-101, "", "Stampa interrotta dall'utente"},
      {7, "", cassa + "7"},
      {-2, "", cassa + "-2"},
      {std::numeric_limits<int32_t>::min(), "", cassa + "-2147483648"},
      {5, "Errore su OPEN WinEcrCom", cassa + "5-Errore su OPEN WinEcrCom"},
      // Leading spaces of the description follow the "-" and stay; trailing ones go.
      {12, "  carta  esaurita   ", cassa + "12-  carta  esaurita"},
      // Only spaces are trimmed, never tabs.
      {12, "\tcarta\t", cassa + "12-\tcarta\t"},
      {12, "   ", cassa + "12-"},
      // A driver code equal to a table code takes that code's message.
      {-100, "risposta del registratore", "Timeout stampa-risposta del registratore"},
  };
  for (const auto& caso : casi) {
    EXPECT_EQ(messaggio_composto(caso.codice, caso.descrizione), caso.atteso)
        << caso.codice << " [" << caso.descrizione << "]";
  }
}

TEST(Esito, TestoResult) {
  EXPECT_EQ(testo_result(-100, "Timeout stampa"), "-100\r\nTimeout stampa\r\n");
  EXPECT_EQ(testo_result(0, "Stampa completata correttamente"),
            "0\r\nStampa completata correttamente\r\n");
}

TEST(Esito, RigaLog) {
  EXPECT_EQ(riga_log(DataOra{2026, 12, 5, 14, 3, 7}, -101, "Stampa interrotta dall'utente"),
            "12-05-2026\t14:03:07\t-101\tStampa interrotta dall'utente\r\n");
  EXPECT_EQ(riga_log(DataOra{2027, 1, 9, 0, 0, 0}, 7, "x"), "01-09-2027\t00:00:00\t7\tx\r\n");
}

}  // namespace
}  // namespace borvan

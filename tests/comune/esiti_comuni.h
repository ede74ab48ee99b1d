#pragma once

// The outcomes the program gives alike on every platform, and the check of one job's end.

#include <gtest/gtest.h>

#include "comune/installazione.h"

namespace borvan::test {

// A job's expected end: its outcome (code, TAB, message: the log line's end and the result
// file's two lines) and how many of its first lines the roll holds, at least and at most.
struct EsitoAtteso {
  const char* nome;
  std::string simulatore;  // ECRSIM.CFG
  int righe;
  std::string esito;
  size_t minimo, massimo;
};

inline const std::string fine_stampa = "0\tStampa completata correttamente";
inline const std::string cassa = "Errore di comunicazione con la cassa. Cod.";
inline const std::string apertura =
    "-50\tErrore durante l'inizializzazione della comunicazione con la cassa.";

// The outcomes every platform gives alike, whatever reaches the register.
inline const EsitoAtteso esiti_comuni[] = {
    {"success", "", 3, fine_stampa, 3, 3},
    {"line refused", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
     "7\t" + cassa + "7-Carta esaurita", 1, 1},
    {"open refused", "OPEN_RESULT=3\r\n", 3, "3\t" + cassa + "3-Errore su OPEN WinEcrCom", 0, 0},
    {"property 9 raising", "RAISE=9\r\n", 3, apertura, 0, 0},
    {"open raising", "RAISE=12\r\n", 3, apertura, 0, 0},
    {"close raising: ignored", "RAISE=13\r\n", 2, fine_stampa, 2, 2}};

// The last outcome (code, TAB, message) in the result file and at the end of the log.
inline void verifica_esito(const Installazione& installazione, const std::string& esito) {
  const size_t tab = esito.find('\t');
  EXPECT_EQ(installazione.leggi("Result.TXT"),
            esito.substr(0, tab) + "\r\n" + esito.substr(tab + 1) + "\r\n");
  const std::string log = installazione.leggi("BorvanIF.LOG");
  EXPECT_TRUE(log.ends_with("\t" + esito + "\r\n")) << log;
}

// Runs the case's job on a blank roll, the register's settings already written, and checks its
// end.
inline void verifica_lavoro(const Installazione& installazione, const EsitoAtteso& caso) {
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  ASSERT_TRUE(installazione.lavoro(comandi(caso.righe)));
  verifica_esito(installazione, caso.esito);
  const std::string rotolo = installazione.leggi("ECRSIM.TXT");
  EXPECT_TRUE(comandi(caso.righe).starts_with(rotolo)) << rotolo;
  EXPECT_GE(installazione.righe_stampate(), caso.minimo);
  EXPECT_LE(installazione.righe_stampate(), caso.massimo);
}

}  // namespace borvan::test

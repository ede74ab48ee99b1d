#pragma once

// The tests' till, the outcomes the program gives alike on every platform, and the check of one
// job's end.

#include <gtest/gtest.h>

#include "comune/installazione.h"
#include "ecr/driver_ecr.h"

namespace borvan::test {

// The program copied into a folder of its own, on the register its platform gives. On Windows
// that is the stand-in control, registered for the test and reached through automation as the
// shop's own register is; elsewhere the simulated register, the only one there is.
class Cassa : public Installazione {
 public:
  explicit Cassa(const std::string& impostazioni = "") : Installazione(impostazioni) {
#ifdef _WIN32
    if (registrato_.esito != 0) ADD_FAILURE() << "regsvr32 ended with " << registrato_.esito;
#endif
  }
#ifdef _WIN32

 private:
  const EcrsimRegistrato registrato_;
#endif
};

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
inline const std::string errore_cassa = "Errore di comunicazione con la cassa. Cod.";
inline const std::string apertura =
    "-50\tErrore durante l'inizializzazione della comunicazione con la cassa.";
// A job the program did not finish, at its next start: then how many lines, " di ", how many.
inline const std::string interrotto =
    "-102\tStampa non completata-BorvanIF chiuso durante la stampa; righe accettate dalla "
    "cassa: ";

// A setting of the simulated register that names a member: RAISE, HANG, CRASH, CRASH_NX.
inline std::string sul_membro(const std::string& chiave, int32_t membro) {
  return chiave + "=" + std::to_string(membro) + "\r\n";
}
// The setting that makes the simulated register's member raise.
inline std::string solleva(int32_t membro) {
  return sul_membro("RAISE", membro);
}

// The outcomes every platform gives alike, whatever reaches the register.
inline const EsitoAtteso esiti_comuni[] = {
    {"success", "", 3, fine_stampa, 3, 3},
    {"line refused", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
     "7\t" + errore_cassa + "7-Carta esaurita", 1, 1},
    {"open refused", "OPEN_RESULT=3\r\n", 3, "3\t" + errore_cassa + "3-Errore su OPEN WinEcrCom", 0,
     0},
    {"property 9 raising", solleva(membro_proprieta_9), 3, apertura, 0, 0},
    {"open raising", solleva(membro_apri), 3, apertura, 0, 0},
    {"close raising: ignored", solleva(membro_chiudi), 2, fine_stampa, 2, 2}};

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

// ECRSIM.CFG for a register that runs the program's message loop inside each of its calls, as
// many controls do, for `millisecondi` each: ticks and clicks then come inside them.
inline std::string pompa(int millisecondi) {
  return "PUMP_MESSAGES=1\r\nLINE_DELAY_MS=" + std::to_string(millisecondi) + "\r\n";
}

}  // namespace borvan::test

// The real BorvanIF.exe, started without arguments, reaching the stand-in control through the
// automation path: the same outcomes as on the simulated register itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ecrsim/registrazione_com.h"
#include "windows/installazione_win32.h"

namespace borvan::test {
namespace {

const std::string apertura =
    "-50\tErrore durante l'inizializzazione della comunicazione con la cassa.";
const std::string cassa = "Errore di comunicazione con la cassa. Cod.";

std::string risultato_atteso(const std::string& esito) {
  const size_t tab = esito.find('\t');
  return esito.substr(0, tab) + "\r\n" + esito.substr(tab + 1) + "\r\n";
}

BOOL CALLBACK aggiungi_testo(HWND controllo, LPARAM destinazione) {
  char testo[1024] = "";
  GetWindowTextA(controllo, testo, sizeof testo);
  *reinterpret_cast<std::string*>(destinazione) += std::string(testo) + "\n";
  return TRUE;
}

// The texts of a window and of all its controls.
std::string testi_finestra(HWND finestra) {
  std::string testi;
  aggiungi_testo(finestra, reinterpret_cast<LPARAM>(&testi));
  EnumChildWindows(finestra, aggiungi_testo, reinterpret_cast<LPARAM>(&testi));
  return testi;
}

// One program, no argument, takes the jobs one after another, the register's settings as they
// are when each starts; the same table runs with --simulatore, so both paths answer alike (the
// only end-to-end check of each outcome on the simulated register).
TEST(ProgrammaCom, StessiEsitiDelSimulatore) {
  struct Caso {
    const char* nome;
    std::string simulatore;  // ECRSIM.CFG
    int righe;
    std::string esito;       // code, TAB, message: the log line's end and the result file's lines
    size_t minimo, massimo;  // how many of the job's first lines the roll holds
  };
  const Caso casi[] = {
      {"success", "", 3, "0\tStampa completata correttamente", 3, 3},
      {"line refused", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n", 3,
       "7\t" + cassa + "7-Carta esaurita", 1, 1},
      {"open refused", "OPEN_RESULT=3\r\n", 3, "3\t" + cassa + "3-Errore su OPEN WinEcrCom", 0, 0},
      {"property 9 raising", "RAISE=9\r\n", 3, apertura, 0, 0},
      {"open raising", "RAISE=12\r\n", 3, apertura, 0, 0},
      {"close raising: ignored", "RAISE=13\r\n", 2, "0\tStampa completata correttamente", 2, 2},
      // Ten lines of 500 ms each cannot finish within the two-second time-out.
      {"time-out", "LINE_DELAY_MS=500\r\n", 10, "-100\tTimeout stampa", 1, 9},
      {"the next job", "", 2, "0\tStampa completata correttamente", 2, 2},
  };
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  for (const std::string& argomenti : {std::string(), std::string("--simulatore")}) {
    SCOPED_TRACE(argomenti);
    Installazione installazione("TIMEOUT=2\r\n");
    const auto programma = installazione.avvia(argomenti);
    ASSERT_TRUE(programma);
    for (const Caso& caso : casi) {
      SCOPED_TRACE(caso.nome);
      installazione.scrivi("ECRSIM.CFG", caso.simulatore);
      DeleteFileA(installazione.percorso("ECRSIM.TXT").c_str());
      ASSERT_TRUE(installazione.lavoro(comandi(caso.righe)));
      EXPECT_TRUE(programma->in_vita());
      EXPECT_EQ(installazione.leggi("Result.TXT"), risultato_atteso(caso.esito));
      const std::string log = installazione.leggi("BorvanIF.LOG");
      EXPECT_TRUE(log.ends_with("\t" + caso.esito + "\r\n")) << log;
      const std::string rotolo = installazione.leggi("ECRSIM.TXT");
      const auto stampate = static_cast<size_t>(std::count(rotolo.begin(), rotolo.end(), '\n'));
      EXPECT_TRUE(comandi(caso.righe).starts_with(rotolo) && stampate >= caso.minimo &&
                  stampate <= caso.massimo)
          << rotolo;
    }
  }
}

// Status or send raising: the operator's error dialog shows the control's own error, retries,
// and the job ends by its time-out with nothing printed; the next job prints.
TEST(ProgrammaCom, MembroDelCicloInErroreMostraIlDialogo) {
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  Installazione installazione("TIMEOUT=2\r\n");
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  for (const int membro : {10, 17}) {
    SCOPED_TRACE(membro);
    installazione.scrivi("ECRSIM.CFG", "RAISE=" + std::to_string(membro) + "\r\n");
    DeleteFileA(installazione.percorso("ECRSIM.TXT").c_str());
    installazione.scrivi("Scontr.tmp", comandi(2));
    MoveFileA(installazione.percorso("Scontr.tmp").c_str(),
              installazione.percorso("Scontr.ECR").c_str());
    HWND dialogo = nullptr;
    ASSERT_TRUE(attendi([&] { return (dialogo = FindWindowA(nullptr, "ERRORE")) != nullptr; }));
    const std::string testo = "Registratore simulato: errore sul membro " + std::to_string(membro);
    EXPECT_TRUE(attendi([&] { return testi_finestra(dialogo).find(testo) != std::string::npos; }))
        << testi_finestra(dialogo);
    ASSERT_TRUE(attendi(
        [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); }));
    EXPECT_EQ(installazione.leggi("Result.TXT"), "-100\r\nTimeout stampa\r\n");
    EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), "");  // the roll may exist, but is blank
    // The dialog gives up by itself once the job has ended.
    ASSERT_TRUE(attendi([] { return FindWindowA(nullptr, "ERRORE") == nullptr; }));
  }
  installazione.scrivi("ECRSIM.CFG", "");
  DeleteFileA(installazione.percorso("ECRSIM.TXT").c_str());
  ASSERT_TRUE(installazione.lavoro(comandi(1)));
  EXPECT_EQ(installazione.leggi("Result.TXT"), "0\r\nStampa completata correttamente\r\n");
  EXPECT_EQ(installazione.leggi("ECRSIM.TXT"), comandi(1));
}

}  // namespace
}  // namespace borvan::test

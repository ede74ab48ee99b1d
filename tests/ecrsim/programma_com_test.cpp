// The real BorvanIF.exe, started without arguments, reaching the stand-in control through the
// automation path: the same outcomes as on the simulated register itself.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comune/esiti_comuni.h"
#include "ecrsim/registrazione_com.h"

namespace borvan::test {
namespace {

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
// are when each starts; the same table runs with --simulatore, so both paths answer alike.
// The stand-in demands its client site (REQUIRE_SITE): every job proves the program hosts it
// as a form does.
TEST(ProgrammaCom, StessiEsitiDelSimulatore) {
  std::vector<EsitoAtteso> casi(std::begin(esiti_comuni), std::end(esiti_comuni));
  // Ten lines of 500 ms each cannot finish within the two-second time-out; the next job prints.
  casi.push_back({"time-out", "LINE_DELAY_MS=500\r\n", 10, "-100\tTimeout stampa", 1, 9});
  // The same, the register running the program's messages inside each call of 300 ms.
  casi.push_back({"time-out, pumping", pompa(300), 10, "-100\tTimeout stampa", 1, 9});
  casi.push_back(esiti_comuni[0]);
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  for (const std::string& argomenti : {std::string(), std::string("--simulatore")}) {
    SCOPED_TRACE(argomenti);
    Installazione installazione("TIMEOUT=2\r\n");
    const auto programma = installazione.avvia(argomenti);
    ASSERT_TRUE(programma);
    for (const EsitoAtteso& caso : casi) {
      SCOPED_TRACE(caso.nome);
      installazione.scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + caso.simulatore);
      verifica_lavoro(installazione, caso);
      EXPECT_TRUE(programma->in_vita());
    }
    EXPECT_EQ(installazione.esiti_nel_log(), casi.size());  // one outcome a job
    // Asked to end, as the installer asks: the control is let go first, and the program ends.
    PostMessageA(FindWindowA("BorvanIF_Principale", nullptr),
                 RegisterWindowMessageA("BorvanIF_Termina"), 0, 0);
    ASSERT_TRUE(attendi([&] { return !programma->in_vita(); }));
    EXPECT_EQ(programma->uscita(), 0u);
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
  for (const int32_t membro : {membro_stato, membro_invia}) {
    SCOPED_TRACE(membro);
    installazione.scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + solleva(membro));
    std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
    installazione.deponi(comandi(2));
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
  verifica_lavoro(installazione, esiti_comuni[0]);
}

// A control that runs the program's messages inside its calls: the outcomes, a file dropped
// during the open, jobs back to back; and "Interrompi la stampa" clicked inside a call ends
// the job right after it.
TEST(ProgrammaCom, UnControlloCheElaboraIMessaggi) {
  EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  Installazione installazione("POLLING_TIME=11\r\n");
  const auto programma = installazione.avvia("");
  ASSERT_TRUE(programma);
  verifica_registratore_che_pompa(installazione);

  installazione.scrivi("ECRSIM.CFG", pompa(200));
  std::filesystem::remove(installazione.percorso("ECRSIM.TXT"));
  std::filesystem::remove(installazione.percorso("Result.TXT"));
  const size_t esiti = installazione.esiti_nel_log();
  installazione.deponi(comandi(10));
  ASSERT_TRUE(attendi([&] { return installazione.righe_stampate() >= 2; }));
  HWND finestra = FindWindowA("BorvanIF_Principale", nullptr);
  HWND pulsante = FindWindowExA(finestra, nullptr, "BUTTON", "Interrompi la stampa");
  ASSERT_NE(pulsante, nullptr);
  PostMessageA(finestra, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pulsante), BN_CLICKED),
               reinterpret_cast<LPARAM>(pulsante));
  ASSERT_TRUE(attendi(
      [&] { return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR"); }));
  EXPECT_EQ(installazione.leggi("Result.TXT"), "-101\r\nStampa interrotta dall'utente\r\n");
  EXPECT_TRUE(comandi(10).starts_with(installazione.leggi("ECRSIM.TXT")));
  EXPECT_LT(installazione.righe_stampate(), 10u);
  EXPECT_EQ(installazione.esiti_nel_log(), esiti + 1);
  EXPECT_TRUE(programma->in_vita());
}

}  // namespace
}  // namespace borvan::test

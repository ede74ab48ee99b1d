// The shipped 32-bit files as a shop installs, runs and removes them.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "comune/esiti_comuni.h"

namespace borvan::test {
namespace {

// Every start of a 32-bit program under emulation may cost about a minute.
constexpr auto avvio_lento = 600s;

std::string contenuto(const std::string& percorso) {
  std::ifstream file(percorso, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A value of the uninstall entry of the computer, where wine's setup, always elevated, writes it
// for every user (the 32-bit view, as the 32-bit setup sees it); empty if missing.
std::string voce_disinstalla(const char* nome) {
  HKEY chiave = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\BorvanIF", 0,
                    KEY_QUERY_VALUE, &chiave) != ERROR_SUCCESS)
    return {};
  char valore[MAX_PATH] = "";
  DWORD dimensione = sizeof valore;
  const LSTATUS esito =
      RegGetValueA(chiave, nullptr, nome, RRF_RT_REG_SZ, nullptr, valore, &dimensione);
  RegCloseKey(chiave);
  return esito == ERROR_SUCCESS ? valore : "";
}

// One installation, the starts of the program as a till lives them: the second start finds the
// job the first left half printed; a control that runs code from a data page crashes once with
// DEP on, and runs from the next start, without it; the uninstaller closes the running program.
TEST(ProgrammaInstallato, DallInstallazioneAllaDisinstallazione) {
  Installazione cassa(Installazione::SenzaProgramma{}, "TIMEOUT=3\r\n");
  std::string cartella = percorso_windows(cassa.percorso(""));
  while (cartella.ends_with("\\")) cartella.pop_back();
  // Built in place: GCC 12 at -O3 takes a concatenation that starts with a literal for an
  // overlapping copy.
  std::string installa = percorso_windows(BORVAN_SETUP);
  installa.insert(0, 1, '"').append("\" /S /ECRSIM /D=").append(cartella);
  ASSERT_EQ(esegui(installa, avvio_lento), 0u);
  for (const auto& [installato, costruito] :
       {std::pair{"BorvanIF.exe", BORVAN_BINARIO}, std::pair{"ECRSIM.DLL", ECRSIM_DLL}})
    ASSERT_EQ(cassa.leggi(installato), contenuto(percorso_windows(costruito))) << installato;
  EXPECT_EQ(voce_disinstalla("InstallLocation"), cartella);

  // On the simulated register, killed in the middle of a job of five slow lines; the outcomes
  // come through the control below.
  auto programma = cassa.avvia("--simulatore");
  ASSERT_TRUE(programma);
  ASSERT_TRUE(cassa.lavoro(comandi(1), avvio_lento));
  cassa.imposta_registratore("LINE_DELAY_MS=300\r\n");
  std::filesystem::remove(cassa.percorso("ECRSIM.TXT"));
  std::filesystem::remove(cassa.percorso("Result.TXT"));
  cassa.deponi(comandi(5));
  ASSERT_TRUE(attendi([&] { return cassa.righe_stampate() >= 2; }));
  programma.reset();
  const size_t stampate = cassa.righe_stampate();
  ASSERT_LT(stampate, 5u);

  // Through the control: the interrupted job gets its outcome and none of its lines again; a
  // send that raises unwinds inside the 32-bit message loop until the time-out.
  {
    EcrsimRegistrato registrato(cassa.percorso("ECRSIM.DLL"));
    ASSERT_EQ(registrato.esito, 0u);
    cassa.imposta_registratore("");
    programma = cassa.avvia("");
    ASSERT_TRUE(programma);
    ASSERT_TRUE(attendi([&] { return cassa.esiste("Result.TXT") && !cassa.esiste("BorvanIF.JRN"); },
                        avvio_lento));
    verifica_esito(cassa, interrotto + std::to_string(stampate) + " di 5");
    EXPECT_FALSE(cassa.esiste("Scontr.ECR"));
    EXPECT_EQ(cassa.righe_stampate(), stampate);
    std::vector<EsitoAtteso> dal_controllo = {
        {"send raising", solleva(membro_invia), 2, "-100\tTimeout stampa", 0, 0}};
    dal_controllo.insert(dal_controllo.end(), std::begin(esiti_comuni), std::end(esiti_comuni));
    for (const EsitoAtteso& caso : dal_controllo) {
      SCOPED_TRACE(caso.nome);
      cassa.imposta_registratore(caso.simulatore);
      verifica_lavoro(cassa, caso);
    }

    const std::string da_dati = sul_membro("CRASH_NX", membro_invia);
    cassa.imposta_registratore(da_dati);
    cassa.deponi(comandi(2));
    ASSERT_TRUE(terminato(*programma, avvio_lento));
    EXPECT_NE(cassa.leggi("BorvanIF.LOG").find("non attiva la DEP (BorvanIF.NODEP)"),
              std::string::npos);
    std::filesystem::remove(cassa.percorso("Result.TXT"));
    programma = cassa.avvia("");
    ASSERT_TRUE(programma);
    ASSERT_TRUE(cassa.finito(avvio_lento));  // the crashed job's -102
    verifica_lavoro(cassa, {"code from a data page, without DEP", da_dati, 3, fine_stampa, 3, 3});
  }

  // Removed while it runs: closed, the shipped files gone, the shop's data kept.
  std::map<std::string, std::string> dati;
  for (const char* nome :
       {"BorvanIF.CFG", "BorvanIF.LOG", "Result.TXT", "ECRSIM.CFG", "ECRSIM.TXT"})
    dati[nome] = cassa.leggi(nome);
  // As "Apps and features" runs it: the uninstaller copies itself away and returns at once.
  ASSERT_EQ(esegui(voce_disinstalla("QuietUninstallString"), avvio_lento), 0u);
  ASSERT_TRUE(attendi([&] { return voce_disinstalla("DisplayName").empty(); }, avvio_lento));
  EXPECT_TRUE(terminato(*programma));
  for (const char* nome :
       {"BorvanIF.exe", "Disinstalla.exe", "ECRSIM.DLL", "LEGGIMI.txt", "Esempio"})
    EXPECT_TRUE(attendi([&] { return !cassa.esiste(nome); })) << nome;
  for (const auto& [nome, testo] : dati) EXPECT_EQ(cassa.leggi(nome), testo) << nome;
}

}  // namespace
}  // namespace borvan::test

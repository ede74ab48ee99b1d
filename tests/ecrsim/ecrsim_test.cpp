// ECRSIM.DLL through the real automation path: registered by regsvr32, created from the
// register's ProgID by the program's own driver.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ecr/controllo_finto_windows.h"
#include "ecr/driver_com.h"
#include "ecr/driver_predefinito.h"
#include "ecrsim/registrazione_com.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

using test::errore_di;

// The stand-in keeps its files beside the program that loads it: this test's folder.
std::filesystem::path file_accanto(const std::string& nome) {
  char percorso[MAX_PATH];
  GetModuleFileNameA(nullptr, percorso, MAX_PATH);
  return std::filesystem::path(percorso).parent_path() / nome;
}

void scrivi(const std::string& nome, const std::string& testo) {
  std::ofstream(file_accanto(nome), std::ios::binary | std::ios::trunc) << testo;
}

std::string leggi(const std::string& nome) {
  std::ifstream file(file_accanto(nome), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A clean roll and settings before and after each test.
struct FileDelSimulato {
  FileDelSimulato() { pulisci(); }
  ~FileDelSimulato() { pulisci(); }
  static void pulisci() {
    std::filesystem::remove(file_accanto("ECRSIM.CFG"));
    std::filesystem::remove(file_accanto("ECRSIM.TXT"));
  }
};

std::string tutti_i_byte() {
  std::string testo;
  for (int b = 0; b < 256; ++b)
    if (b != '\r') testo += static_cast<char>(b);  // a CR would split the roll's line
  return testo;
}

TEST(Ecrsim, RegistratoSottoIlProgIdRispondeComeIlSimulato) {
  FileDelSimulato file;
  {
    test::EcrsimRegistrato registrato;
    ASSERT_EQ(registrato.esito, 0u);
    // The program's own choice: the control, not a driver that stands absent.
    auto driver = crea_driver_predefinito("");
    EXPECT_EQ(driver->motivo_assenza(), "");
    scrivi("ECRSIM.CFG", "REFUSE_LINE=2\r\nREFUSE_CODE=7\r\nREFUSE_TEXT=Carta esaurita\r\n");
    std::string richiesta = "PORT = 1", riga = tutti_i_byte(), risposta;
    driver->imposta_proprieta_9(0);
    EXPECT_EQ(driver->apri(richiesta), 0);
    EXPECT_EQ(driver->stato(), 0);
    EXPECT_EQ(driver->invia(riga, risposta), 0);
    EXPECT_EQ(risposta, "");
    std::string seconda = "seconda";
    EXPECT_EQ(driver->invia(seconda, risposta), 7);
    EXPECT_EQ(risposta, "Carta esaurita");
    EXPECT_EQ(driver->chiudi(), 0);
    EXPECT_EQ(leggi("ECRSIM.TXT"), tutti_i_byte() + "\r\n");

    scrivi("ECRSIM.CFG", "OPEN_RESULT=3\r\nSTATUS=-2\r\n");
    EXPECT_EQ(driver->apri(richiesta), 3);
    EXPECT_EQ(driver->stato(), -2);

    // RAISE makes exactly one member fail, with a real automation exception.
    std::string testo;
    const std::pair<int, std::function<void()>> membri[] = {
        {9, [&] { driver->imposta_proprieta_9(0); }},
        {12, [&] { driver->apri(testo); }},
        {10, [&] { driver->stato(); }},
        {17, [&] { driver->invia(testo, testo); }},
        {13, [&] { driver->chiudi(); }}};
    for (const auto& [guasto, _] : membri) {
      scrivi("ECRSIM.CFG", "RAISE=" + std::to_string(guasto));
      errore_di([&] { driver->apri(richiesta); });  // reads the settings again
      for (const auto& [membro, chiamata] : membri)
        EXPECT_EQ(errore_di(chiamata), membro == guasto
                                           ? "57|Registratore simulato: errore sul membro " +
                                                 std::to_string(membro) + "|ECRSIM"
                                           : "nessuno")
            << guasto << " " << membro;
    }
  }
  // Removed: the driver is missing again, and says so; nothing is printed anywhere.
  FileDelSimulato::pulisci();
  EXPECT_EQ(errore_di([] { DriverCom::crea(); }),
            "429|Driver del registratore non installato (COECRCOMLib.CoEcrCom)|BorvanIF");
  const auto driver = crea_driver_predefinito("");
  EXPECT_EQ(driver->motivo_assenza(),
            "Driver del registratore non installato (COECRCOMLib.CoEcrCom)");
  std::string riga = "riga", risposta;
  EXPECT_NE(errore_di([&] { driver->invia(riga, risposta); }), "nessuno");
  EXPECT_FALSE(std::filesystem::exists(file_accanto("ECRSIM.TXT")));
}

// A ProgID that belongs to another control (the register's own) is never taken over, nor
// removed.
TEST(Ecrsim, NonPrendeIlProgIdDiUnAltroControllo) {
  const char* altra_classe = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom\\CLSID", nullptr, REG_SZ,
                            altra_classe, 39),
            ERROR_SUCCESS);
  EXPECT_NE(test::regsvr32(""), 0u);
  test::regsvr32("/u");
  char valore[64] = "";
  DWORD dimensione = sizeof valore;
  EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom\\CLSID", nullptr, RRF_RT_REG_SZ,
                         nullptr, valore, &dimensione),
            ERROR_SUCCESS);
  EXPECT_STREQ(valore, altra_classe);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom");
}

}  // namespace
}  // namespace borvan

// ECRSIM.DLL through the real automation path: registered by regsvr32, created from the
// register's ProgID by the program's own driver.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "automazione/controllo_finto.h"
#include "comune/registrazione_com.h"
#include "ecr/driver_predefinito.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

using test::errore_di;
using test::tutti_i_byte;

// The stand-in keeps its files beside the program that loads it: this test's folder.
std::filesystem::path file_accanto(const std::string& nome) {
  char percorso[MAX_PATH];
  GetModuleFileNameA(nullptr, percorso, MAX_PATH);
  return std::filesystem::path(percorso).parent_path() / nome;
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

// Registered, the program's own choice of driver finds it, every byte of a line reaches the roll
// and a fault comes as an automation exception. (A missing control is the driver test's.)
TEST(Ecrsim, RegistratoRisponde) {
  FileDelSimulato file;
  test::EcrsimRegistrato registrato;
  ASSERT_EQ(registrato.esito, 0u);
  OleInitialize(nullptr);
  auto driver = crea_driver_predefinito("");
  EXPECT_EQ(driver->motivo_assenza(), "");
  std::ofstream(file_accanto("ECRSIM.CFG"), std::ios::binary)
      << "RAISE=" << membro_chiudi << "\r\n";
  std::string richiesta = "PORT = 1", riga = tutti_i_byte(), risposta;
  EXPECT_EQ(driver->apri(richiesta), 0);
  EXPECT_EQ(driver->invia(riga, risposta), 0);
  EXPECT_EQ(errore_di([&] { driver->chiudi(); }), "57|Registratore simulato: errore sul membro " +
                                                      std::to_string(membro_chiudi) + "|ECRSIM");
  std::ifstream rotolo(file_accanto("ECRSIM.TXT"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(rotolo), {}), tutti_i_byte() + "\r\n");
}

// A ProgID key that does not name the stand-in's class belongs to another control (the
// register's own), whatever it holds: it is never taken over, nor removed.
TEST(Ecrsim, NonPrendeIlProgIdDiUnAltroControllo) {
  struct Altrui {
    const char* sottochiave;
    DWORD tipo;
    std::string valore;
  };
  const Altrui casi[] = {{"CLSID", REG_SZ, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"},
                         {"CurVer", REG_SZ, "COECRCOMLib.CoEcrCom.2"},
                         {"CLSID", REG_BINARY, "{25274A42-A1BC-4A19-AC8C-3A29B4EE74A2}"}};
  for (const Altrui& caso : casi) {
    SCOPED_TRACE(caso.sottochiave);
    const std::string chiave = std::string("COECRCOMLib.CoEcrCom\\") + caso.sottochiave;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, caso.tipo,
                              caso.valore.c_str(), static_cast<DWORD>(caso.valore.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_NE(test::regsvr32(""), 0u);
    test::regsvr32("/u");
    char valore[64] = "";
    DWORD dimensione = sizeof valore;
    EXPECT_EQ(RegGetValueA(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, RRF_RT_ANY, nullptr, valore,
                           &dimensione),
              ERROR_SUCCESS);
    EXPECT_EQ(valore, caso.valore);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "COECRCOMLib.CoEcrCom");
  }
}

}  // namespace
}  // namespace borvan

#include "win32/ambiente_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <thread>

#include "comune/cartella_temporanea.h"

namespace borvan::win32 {
namespace {

// A mutex is owned by a thread, and its owner may take it again: each look comes from a thread
// of its own, as another program would.
bool altra_istanza_vista_da(const std::string& cartella) {
  bool attiva = false;
  std::thread([&] {
    AmbienteWin32 ambiente(cartella);
    attiva = ambiente.altra_istanza_attiva();
  }).join();
  return attiva;
}

// One instance per installation, however its folder is spelt; another folder is another
// installation. An owner that ended without letting go (a killed program) keeps nobody out.
TEST(AmbienteWin32, UnaSolaIstanzaPerInstallazione) {
  test::CartellaTemporanea installazione, altra;
  const std::string cartella = installazione.percorso("");
  AmbienteWin32 primo(cartella);
  ASSERT_FALSE(primo.altra_istanza_attiva());

  std::string maiuscola = cartella, barre = cartella, corta(MAX_PATH, '\0');
  CharUpperBuffA(maiuscola.data(), static_cast<DWORD>(maiuscola.size()));
  std::replace(barre.begin(), barre.end(), '\\', '/');
  corta.resize(GetShortPathNameA(cartella.c_str(), corta.data(), MAX_PATH));
  for (const std::string& stessa :
       {cartella, maiuscola, barre, barre.substr(0, barre.size() - 1), corta})
    EXPECT_TRUE(altra_istanza_vista_da(stessa)) << stessa;
  EXPECT_FALSE(altra_istanza_vista_da(altra.percorso("")));

  // The owning thread ends while its handle stays open: the mutex is left abandoned.
  AmbienteWin32 abbandonato(altra.percorso(""));
  std::thread([&] { ASSERT_FALSE(abbandonato.altra_istanza_attiva()); }).join();
  EXPECT_FALSE(altra_istanza_vista_da(altra.percorso("")));
}

}  // namespace
}  // namespace borvan::win32

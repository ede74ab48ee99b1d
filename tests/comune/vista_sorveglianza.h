#pragma once

// A binding's view of the folder watch, driven through the changes a point-of-sale program
// makes, the same on every platform. Each test framework compares what it saw with `atteso`.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "comune/cartella_temporanea.h"
#include "support/controlli.h"

namespace borvan::test {

using namespace std::chrono_literals;

// Runs the program's loop until the condition holds or the time has passed.
using Gira =
    std::function<void(const std::function<bool()>& condizione, std::chrono::milliseconds entro)>;

// The watch's view runs `++chiamate` for each change it reports. The files are changed while
// the loop does not run, so that each step is one burst; what a step saw is written as
// "step: calls, error".
inline std::vector<std::string> percorri_sorveglianza(Sorveglianza& sorveglianza,
                                                      const int& chiamate,
                                                      const CartellaTemporanea& cartella,
                                                      const Gira& gira) {
  std::vector<std::string> visto;
  const auto passo = [&](const char* nome, int attese) {
    gira([&] { return chiamate >= attese; }, 20s);
    gira([] { return false; }, 300ms);  // and no further call
    visto.push_back(std::string(nome) + ": " + std::to_string(chiamate) + ", '" +
                    sorveglianza.errore() + "'");
  };
  const auto deponi = [&](const std::string& dove) {
    cartella.scrivi(dove + ".tmp", "x\r\n");
    std::filesystem::rename(cartella.percorso(dove + ".tmp"), cartella.percorso(dove));
  };

  sorveglianza.sorveglia(cartella.percorso("cassa"), "Scontr.ECR");
  passo("missing folder", 0);
  std::filesystem::create_directories(cartella.percorso("cassa/Scontr.ECR.d"));
  sorveglianza.guarda_ancora();
  passo("look asked, folder made", 1);
  for (int volta = 0; volta < 100; ++volta) {
    for (const char* nome : {"cassa/Scontr.EC", "cassa/Scontr.ECR.d/Scontr.ECR"})
      cartella.scrivi(nome, std::to_string(volta));
    deponi("cassa/altro.dat");
  }
  passo("other files", 1);
  deponi("cassa/Scontr.ECR");
  cartella.scrivi("cassa/Scontr.ECR", "riscritto\r\n");
  cartella.scrivi("cassa/Scontr.ECR", "riscritto ancora\r\n");
  passo("dropped, rewritten twice", 2);
  std::filesystem::create_directory(cartella.percorso("altra"));
  sorveglianza.sorveglia(cartella.percorso("altra"), "Cassa.ECR");
  deponi("cassa/Scontr.ECR");
  deponi("altra/Scontr.ECR");
  passo("moved to another folder", 2);
  deponi("altra/Cassa.ECR");
  passo("dropped there", 3);
  return visto;
}

inline const std::vector<std::string> sorveglianza_attesa = {
    "missing folder: 0, 'Impossibile trovare il percorso'",
    "look asked, folder made: 1, ''",
    "other files: 1, ''",
    "dropped, rewritten twice: 2, ''",
    "moved to another folder: 2, ''",
    "dropped there: 3, ''",
};

}  // namespace borvan::test

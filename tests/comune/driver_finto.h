#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ecr/driver_ecr.h"
#include "support/errore_runtime.h"

namespace borvan::test {

// A scripted register: records every call (also those that raise) and answers as told. `guasto`
// runs before each member (with its dispatch id) and may throw to make that member raise.
class DriverFinto : public DriverEcr {
 public:
  std::vector<std::string> chiamate;  // "9", "12 PORT = 1", "10", "17 <line>", "13"
  std::vector<std::string> inviate;   // the lines accepted
  int32_t risultato_apertura = 0;
  int32_t stato_registratore = 0;
  std::map<size_t, std::pair<int32_t, std::string>> rifiuti;  // line number from 1 -> code, text
  std::function<void(int)> guasto;

  void imposta_proprieta_9(int16_t valore) override { chiama(9, std::to_string(valore)); }
  int32_t apri(std::string& richiesta) override {
    chiama(12, richiesta);
    return risultato_apertura;
  }
  int32_t stato() override {
    chiama(10, "");
    return stato_registratore;
  }
  int32_t invia(std::string& riga, std::string& risposta) override {
    chiama(17, riga);
    const auto rifiuto = rifiuti.find(inviate.size() + 1);
    if (rifiuto != rifiuti.end()) {
      risposta = rifiuto->second.second;
      return rifiuto->second.first;
    }
    inviate.push_back(riga);
    return 0;
  }
  int32_t chiudi() override {
    chiama(13, "");
    return 0;
  }

  size_t conta(int id) const {
    size_t n = 0;
    for (const auto& c : chiamate) n += c.rfind(std::to_string(id), 0) == 0;
    return n;
  }

 private:
  void chiama(int id, const std::string& argomento) {
    chiamate.push_back(argomento.empty() ? std::to_string(id)
                                         : std::to_string(id) + " " + argomento);
    if (guasto) guasto(id);
  }
};

}  // namespace borvan::test

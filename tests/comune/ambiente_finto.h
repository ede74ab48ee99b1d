#pragma once

#include <functional>

#include "app/principale.h"

namespace borvan::test {

// The main window's system, in memory: a fixed clock, an end that is only recorded.
class AmbienteFinto : public Ambiente {
 public:
  bool altra_istanza = false;
  int terminazioni = 0;
  DataOra ora{2026, 12, 5, 14, 3, 7};
  std::function<void()> configurazione;

  bool altra_istanza_attiva() override { return altra_istanza; }
  void termina() override { ++terminazioni; }
  DataOra adesso() override { return ora; }
  void mostra_configurazione() override {
    if (configurazione) configurazione();
  }
};

}  // namespace borvan::test

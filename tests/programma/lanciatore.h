#pragma once

// A till for these tests: the program installed in a folder of its own, on the register its
// platform gives. On Windows that is the stand-in control, registered for the test and reached
// through automation as the shop's own register is; elsewhere the simulated register, the only
// one there is.

#include <gtest/gtest.h>

#include "comune/installazione.h"
#ifdef _WIN32
#include "ecrsim/registrazione_com.h"
#endif

namespace borvan::test {

class Cassa : public Installazione {
 public:
  explicit Cassa(const std::string& impostazioni = "") : Installazione(impostazioni) {
#ifdef _WIN32
    if (registrato_.esito != 0) ADD_FAILURE() << "regsvr32 ended with " << registrato_.esito;
#endif
  }

#ifdef _WIN32
  std::unique_ptr<Processo> avvia() const {
    return Installazione::avvia("");
  }
  // The control demands its site before InitNew: every job proves the program hosts it as a
  // form does.
  void imposta_registratore(const std::string& impostazioni) const {
    scrivi("ECRSIM.CFG", "REQUIRE_SITE=1\r\n" + impostazioni);
  }

 private:
  const EcrsimRegistrato registrato_;
#else
  void imposta_registratore(const std::string& impostazioni) const {
    scrivi("ECRSIM.CFG", impostazioni);
  }
#endif
};

}  // namespace borvan::test

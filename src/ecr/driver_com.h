#pragma once

// The register's own driver: its automation control, called late-bound through IDispatch by
// dispatch id. Windows only.

#include <windows.h>
// Automation, also where the includer asked for a lean <windows.h>.
#include <ole2.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ecr/driver_ecr.h"

namespace borvan {

// The ProgID under which the register's control is registered.
inline constexpr const char* progid_registratore = "COECRCOMLib.CoEcrCom";

class DriverCom : public DriverEcr {
 public:
  // Takes over one reference to `controllo`. With `com_da_rilasciare` the driver ends the COM
  // initialisation of its thread after releasing the control.
  explicit DriverCom(IDispatch* controllo, bool com_da_rilasciare = false);
  ~DriverCom() override;
  DriverCom(const DriverCom&) = delete;
  DriverCom& operator=(const DriverCom&) = delete;

  // Initialises COM apartment-threaded on the calling thread, which must be the one that makes
  // every call, and creates the control registered under `progid` for the driver's life.
  // Throws ErroreRuntime 429 when it is not installed or cannot be created; the description
  // names the missing driver.
  static std::unique_ptr<DriverCom> crea(const std::string& progid = progid_registratore);

  void imposta_proprieta_9(int16_t valore) override;
  int32_t apri(std::string& richiesta) override;
  int32_t stato() override;
  int32_t invia(std::string& riga, std::string& risposta) override;
  int32_t chiudi() override;

 private:
  void invoca(DISPID membro, WORD modo, DISPPARAMS& parametri, VARIANT* risultato);
  int32_t chiama(DISPID membro, WORD modo, DISPPARAMS& parametri);

  IDispatch* controllo_;
  bool com_da_rilasciare_;
};

}  // namespace borvan

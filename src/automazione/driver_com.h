#pragma once

// The register's own driver: its automation control, hosted as a form hosts its controls and
// called late-bound through IDispatch by dispatch id. Windows only.

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

class SitoControllo;

class DriverCom : public DriverEcr {
 public:
  // Takes over one reference to `controllo`, a control that nothing hosts.
  explicit DriverCom(IDispatch* controllo);
  // Closes the control, tells it its site is gone and releases it, in this order, as a form
  // does when it unloads.
  ~DriverCom() override;
  DriverCom(const DriverCom&) = delete;
  DriverCom& operator=(const DriverCom&) = delete;

  // Creates the control registered under `progid` for the driver's life, on the calling
  // thread, which must be the window's (it makes every call) with OLE initialised there for the
  // program's life: its client site set before or after InitNew as the control asks, and a
  // control visible at run time activated in place into `contenitore`, a hidden window of the
  // program. Throws ErroreRuntime 429 when it is not installed, not licensed or cannot be
  // created, or when the thread is not in a single-threaded apartment; the description names
  // the driver and says which.
  static std::unique_ptr<DriverCom> crea(const std::string& progid = progid_registratore,
                                         HWND contenitore = nullptr);

  void imposta_proprieta_9(int16_t valore) override;
  int32_t apri(std::string& richiesta) override;
  int32_t stato() override;
  int32_t invia(std::string& riga, std::string& risposta) override;
  int32_t chiudi() override;

 private:
  HRESULT ospita(const std::string& progid, HWND contenitore);
  void invoca(DISPID membro, WORD modo, DISPPARAMS& parametri, VARIANT* risultato);
  int32_t chiama(DISPID membro, DISPPARAMS& parametri);

  IDispatch* controllo_;
  IOleObject* oggetto_ = nullptr;  // for a hosted control that offers it
  SitoControllo* sito_ = nullptr;
};

}  // namespace borvan

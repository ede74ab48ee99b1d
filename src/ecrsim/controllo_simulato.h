#pragma once

// The stand-in register control: the simulated register behind a plain IDispatch, answering
// the five members by dispatch id as the register's own control does. A run-time error of
// the simulated register is raised as an automation exception.

#include <windows.h>

#include <string>

#include "ecr/registratore_simulato.h"

namespace borvan::ecrsim {

class ControlloSimulato : public IDispatch {
 public:
  // The paper roll and the settings live in the folder of the program that loaded the DLL.
  ControlloSimulato();
  virtual ~ControlloSimulato();
  ControlloSimulato(const ControlloSimulato&) = delete;
  ControlloSimulato& operator=(const ControlloSimulato&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* quanti) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                                   VARIANT* risultato, EXCEPINFO* eccezione,
                                   UINT* argomento_errato) override;

 private:
  int32_t esegui(DISPID membro, WORD modo, DISPPARAMS& parametri);

  LONG riferimenti_ = 1;
  RegistratoreSimulato registratore_;
};

}  // namespace borvan::ecrsim

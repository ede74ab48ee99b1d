#pragma once

// An automation control that answers from a script and records every call as it arrived:
// dispatch id, kind, each argument's type and text, the named arguments.

#include <windows.h>

#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "ecr/driver_com_testo.h"
#include "support/errore_runtime.h"

namespace borvan::test {

// A call's run-time error as "number|description|source", or "nessuno".
inline std::string errore_di(const std::function<void()>& chiamata) {
  try {
    chiamata();
  } catch (const ErroreRuntime& e) {
    return std::to_string(e.numero()) + "|" + e.descrizione() + "|" + e.sorgente();
  }
  return "nessuno";
}

// Every byte but CR, which would split a line on the simulated register's roll.
inline std::string tutti_i_byte() {
  std::string testo;
  for (int b = 0; b < 256; ++b)
    if (b != '\r') testo += static_cast<char>(b);
  return testo;
}

struct ChiamataRicevuta {
  DISPID membro;
  WORD modo;
  std::vector<VARTYPE> tipi;        // in the caller's order (first argument first)
  std::vector<std::wstring> testi;  // the by-reference strings, as received
  std::vector<DISPID> nominati;
  bool con_risultato;

  bool operator==(const ChiamataRicevuta&) const = default;
};

// Its own class factory too, to be created from a ProgID.
class ControlloFinto : public IDispatch, public IPersistStreamInit, public IClassFactory {
 public:
  std::vector<ChiamataRicevuta> chiamate;
  bool inizializzato = false;  // InitNew, before any call
  bool chiamato_prima_di_init_new = false;
  ULONG riferimenti = 1;
  // Answers a call: fills the result and, failing, the exception. By default the result is
  // the 32-bit 0.
  std::function<HRESULT(DISPID, DISPPARAMS&, VARIANT*, EXCEPINFO*)> risposta;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *oggetto = static_cast<IDispatch*>(this);
    } else if (iid == IID_IPersistStreamInit) {
      *oggetto = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IClassFactory) {
      *oggetto = static_cast<IClassFactory*>(this);
    } else {
      *oggetto = nullptr;
      return E_NOINTERFACE;
    }
    ++riferimenti;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++riferimenti; }
  ULONG STDMETHODCALLTYPE Release() override { return --riferimenti; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* quanti) override {
    *quanti = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                                   VARIANT* risultato, EXCEPINFO* eccezione, UINT*) override {
    if (!inizializzato) chiamato_prima_di_init_new = true;
    ChiamataRicevuta chiamata{membro, modo, {}, {}, {}, risultato != nullptr};
    for (UINT i = parametri->cArgs; i-- > 0;) {
      const VARIANT& argomento = parametri->rgvarg[i];
      chiamata.tipi.push_back(argomento.vt);
      if (argomento.vt == (VT_BSTR | VT_BYREF))
        chiamata.testi.emplace_back(*argomento.pbstrVal, SysStringLen(*argomento.pbstrVal));
    }
    for (UINT i = 0; i < parametri->cNamedArgs; ++i)
      chiamata.nominati.push_back(parametri->rgdispidNamedArgs[i]);
    chiamate.push_back(chiamata);
    if (risposta) return risposta(membro, *parametri, risultato, eccezione);
    if (risultato != nullptr) {
      risultato->vt = VT_I4;
      risultato->lVal = 0;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitNew() override {
    inizializzato = true;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** oggetto) override {
    return QueryInterface(iid, oggetto);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Replaces a by-reference string the way a control does: frees it and leaves a new one.
inline void sostituisci(VARIANT& argomento, const std::string& testo) {
  SysFreeString(*argomento.pbstrVal);
  *argomento.pbstrVal = bstr_da_ansi(testo);
}

}  // namespace borvan::test

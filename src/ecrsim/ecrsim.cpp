// ECRSIM.DLL: the stand-in register control, an in-process automation server. Its entry
// points are the four every self-registering server exports (ecrsim.def).

#include <windows.h>

#include <new>

#include "ecrsim/controllo_simulato.h"
#include "ecrsim/modulo.h"
#include "ecrsim/registrazione.h"

namespace borvan::ecrsim {

HMODULE modulo = nullptr;

namespace {

LONG oggetti_e_blocchi = 0;

class Fabbrica : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override {
    if (oggetto == nullptr) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *oggetto = nullptr;
      return E_NOINTERFACE;
    }
    *oggetto = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // One factory for the DLL's life: LockServer keeps the DLL loaded, not the references.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* esterno, REFIID iid, void** oggetto) override {
    if (oggetto == nullptr) return E_POINTER;
    *oggetto = nullptr;
    if (esterno != nullptr) return CLASS_E_NOAGGREGATION;
    auto* controllo = new (std::nothrow) ControlloSimulato();
    if (controllo == nullptr) return E_OUTOFMEMORY;
    const HRESULT esito = controllo->QueryInterface(iid, oggetto);
    controllo->Release();
    return esito;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL blocca) override {
    if (blocca) {
      oggetto_creato();
    } else {
      oggetto_distrutto();
    }
    return S_OK;
  }
};

Fabbrica fabbrica;

}  // namespace

void oggetto_creato() {
  InterlockedIncrement(&oggetti_e_blocchi);
}
void oggetto_distrutto() {
  InterlockedDecrement(&oggetti_e_blocchi);
}

}  // namespace borvan::ecrsim

using namespace borvan::ecrsim;

extern "C" BOOL WINAPI DllMain(HINSTANCE istanza, DWORD motivo, LPVOID) {
  if (motivo == DLL_PROCESS_ATTACH) {
    modulo = istanza;
    DisableThreadLibraryCalls(istanza);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classe, REFIID iid, LPVOID* oggetto) {
  if (oggetto == nullptr) return E_POINTER;
  *oggetto = nullptr;
  if (classe != classe_controllo) return CLASS_E_CLASSNOTAVAILABLE;
  return fabbrica.QueryInterface(iid, oggetto);
}

STDAPI DllCanUnloadNow() {
  return oggetti_e_blocchi == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  return registra(modulo);
}

STDAPI DllUnregisterServer() {
  return cancella_registrazione();
}

#pragma once

// The stand-in register control: the simulated register behind a plain IDispatch, answering
// the five members by dispatch id as the register's own control does. A run-time error of
// the simulated register is raised as an automation exception. Like a control made for forms,
// it takes a client site before InitNew (IOleObject, IPersistStreamInit) and shows nothing at
// run time; with REQUIRE_SITE=1 in ECRSIM.CFG it answers only a host that gave it a site in
// user mode before InitNew. CRASH=<member> makes that member crash with an access violation,
// as a faulty control does, for the tests of the host's crash report; CRASH_NX=<member> makes
// it run code from a data page, as a control built for systems without DEP does: it goes on
// where DEP is off, and crashes where it is on.

#include <windows.h>
// Automation, also where the includer asked for a lean <windows.h>.
#include <ole2.h>
//
#include <ocidl.h>

#include <optional>
#include <string>

#include "ecr/registratore_simulato.h"

namespace borvan::ecrsim {

class ControlloSimulato : public IDispatch, public IOleObject, public IPersistStreamInit {
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

  // IOleObject: a site, and the misc status of a control that wants it first
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* sito) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** sito) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** dati) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbi) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* classe) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR* tipo) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD* connessione) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** avvisi) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* stato) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override;

  // IPersistStreamInit: nothing to keep, only the moment of InitNew
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classe) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream*) override;
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* dimensione) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

 private:
  int32_t esegui(DISPID membro, WORD modo, DISPPARAMS& parametri);
  // Reads REQUIRE_SITE, CRASH and CRASH_NX as a job starts (its first two members).
  void leggi_impostazioni(DISPID membro);
  void verifica_sito() const;

  LONG riferimenti_ = 1;
  std::string cartella_;
  RegistratoreSimulato registratore_;
  IOleClientSite* sito_ = nullptr;
  // A site answering UserMode TRUE was there when InitNew came.
  bool sito_valido_ = false;
  // REQUIRE_SITE=1, CRASH and CRASH_NX, read again as each job starts.
  bool sito_richiesto_ = false;
  int32_t membro_in_crash_ = 0;  // dispatch id; 0 for none
  int32_t membro_da_dati_ = 0;   // dispatch id; 0 for none
};

}  // namespace borvan::ecrsim

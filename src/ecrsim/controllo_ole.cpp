// The stand-in as a control made for forms: the interfaces a host calls to give it its site
// and initialise it. It keeps no state, shows nothing and has no verbs.

#include <olectl.h>

#include "ecrsim/controllo_simulato.h"
#include "ecrsim/registrazione.h"
#include "support/errore_runtime.h"

namespace borvan::ecrsim {

namespace {

constexpr int32_t sito_non_disponibile = 398;

// The ambient UserMode the site answers: a host that runs its controls says TRUE.
bool modo_utente(IOleClientSite* sito) {
  IDispatch* ambiente = nullptr;
  if (FAILED(sito->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambiente))))
    return false;
  DISPPARAMS nessuno{nullptr, nullptr, 0, 0};
  VARIANT valore;
  VariantInit(&valore);
  const HRESULT esito = ambiente->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                         DISPATCH_PROPERTYGET, &nessuno, &valore, nullptr, nullptr);
  ambiente->Release();
  const bool vero = SUCCEEDED(esito) &&
                    SUCCEEDED(VariantChangeType(&valore, &valore, 0, VT_BOOL)) &&
                    valore.boolVal != VARIANT_FALSE;
  VariantClear(&valore);
  return vero;
}

}  // namespace

// The settings are read again where the simulated register reads its own: as a job starts.
void ControlloSimulato::leggi_impostazioni(DISPID membro) {
  if (membro != membro_proprieta_9 && membro != membro_apri) return;
  const ImpostazioniSimulatore impostazioni = leggi_impostazioni_simulatore(cartella_);
  sito_richiesto_ = impostazioni.sito_richiesto;
  membro_in_crash_ = impostazioni.membro_in_arresto;
  membro_da_dati_ = impostazioni.membro_da_dati;
}

void ControlloSimulato::verifica_sito() const {
  if (sito_richiesto_ && !sito_valido_)
    throw ErroreRuntime(sito_non_disponibile, "Client site not available", "ECRSIM");
}

HRESULT ControlloSimulato::SetClientSite(IOleClientSite* sito) {
  if (sito != nullptr) sito->AddRef();
  if (sito_ != nullptr) sito_->Release();
  sito_ = sito;
  return S_OK;
}

HRESULT ControlloSimulato::GetClientSite(IOleClientSite** sito) {
  if (sito == nullptr) return E_POINTER;
  *sito = sito_;
  if (sito_ != nullptr) sito_->AddRef();
  return S_OK;
}

HRESULT ControlloSimulato::SetHostNames(LPCOLESTR, LPCOLESTR) {
  return S_OK;
}

HRESULT ControlloSimulato::Close(DWORD) {
  return S_OK;
}

HRESULT ControlloSimulato::SetMoniker(DWORD, IMoniker*) {
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::InitFromData(IDataObject*, BOOL, DWORD) {
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::GetClipboardData(DWORD, IDataObject** dati) {
  if (dati != nullptr) *dati = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  return OLEOBJ_E_NOVERBS;
}

HRESULT ControlloSimulato::EnumVerbs(IEnumOLEVERB** verbi) {
  if (verbi != nullptr) *verbi = nullptr;
  return OLEOBJ_E_NOVERBS;
}

HRESULT ControlloSimulato::Update() {
  return S_OK;
}

HRESULT ControlloSimulato::IsUpToDate() {
  return S_OK;
}

HRESULT ControlloSimulato::GetUserClassID(CLSID* classe) {
  return GetClassID(classe);
}

HRESULT ControlloSimulato::GetUserType(DWORD, LPOLESTR* tipo) {
  if (tipo != nullptr) *tipo = nullptr;
  return OLE_S_USEREG;
}

HRESULT ControlloSimulato::SetExtent(DWORD, SIZEL*) {
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::GetExtent(DWORD, SIZEL*) {
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::Advise(IAdviseSink*, DWORD* connessione) {
  if (connessione != nullptr) *connessione = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ControlloSimulato::Unadvise(DWORD) {
  return OLE_E_NOCONNECTION;
}

HRESULT ControlloSimulato::EnumAdvise(IEnumSTATDATA** avvisi) {
  if (avvisi != nullptr) *avvisi = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ControlloSimulato::GetMiscStatus(DWORD, DWORD* stato) {
  if (stato == nullptr) return E_POINTER;
  *stato = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME;
  return S_OK;
}

HRESULT ControlloSimulato::SetColorScheme(LOGPALETTE*) {
  return E_NOTIMPL;
}

HRESULT ControlloSimulato::GetClassID(CLSID* classe) {
  if (classe == nullptr) return E_POINTER;
  *classe = classe_controllo;
  return S_OK;
}

HRESULT ControlloSimulato::IsDirty() {
  return S_FALSE;
}

// Nothing is kept: loading is a new start.
HRESULT ControlloSimulato::Load(IStream*) {
  return InitNew();
}

HRESULT ControlloSimulato::Save(IStream*, BOOL) {
  return S_OK;
}

HRESULT ControlloSimulato::GetSizeMax(ULARGE_INTEGER* dimensione) {
  if (dimensione == nullptr) return E_POINTER;
  dimensione->QuadPart = 0;
  return S_OK;
}

// The moment a control made for forms reads its ambient properties: the site must be there.
HRESULT ControlloSimulato::InitNew() {
  sito_valido_ = sito_ != nullptr && modo_utente(sito_);
  return S_OK;
}

}  // namespace borvan::ecrsim

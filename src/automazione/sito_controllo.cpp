#include "automazione/sito_controllo.h"

#include <olectl.h>

#include "automazione/virgola_mobile.h"

namespace borvan {

namespace {

void booleano(VARIANT& risultato, bool valore) {
  risultato.vt = VT_BOOL;
  risultato.boolVal = valore ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

SitoControllo::SitoControllo(HWND contenitore) : contenitore_(contenitore) {}

HRESULT SitoControllo::QueryInterface(REFIID iid, void** oggetto) {
  if (oggetto == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *oggetto = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *oggetto = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleControlSite) {
    *oggetto = static_cast<IOleControlSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *oggetto = static_cast<IOleInPlaceFrame*>(this);
  } else if (iid == IID_IDispatch) {
    *oggetto = static_cast<IDispatch*>(this);
  } else {
    *oggetto = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG SitoControllo::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&riferimenti_));
}

ULONG SitoControllo::Release() {
  const LONG rimasti = InterlockedDecrement(&riferimenti_);
  if (rimasti == 0) delete this;
  return static_cast<ULONG>(rimasti);
}

// The control's state is never saved: every start creates it anew.
HRESULT SitoControllo::SaveObject() {
  return E_NOTIMPL;
}

HRESULT SitoControllo::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT SitoControllo::GetContainer(IOleContainer** contenitore) {
  if (contenitore != nullptr) *contenitore = nullptr;
  return E_NOINTERFACE;
}

HRESULT SitoControllo::ShowObject() {
  return S_OK;
}

HRESULT SitoControllo::OnShowWindow(BOOL) {
  return S_OK;
}

HRESULT SitoControllo::RequestNewObjectLayout() {
  return E_NOTIMPL;
}

HRESULT SitoControllo::GetWindow(HWND* finestra) {
  if (finestra == nullptr) return E_POINTER;
  *finestra = contenitore_;
  return contenitore_ != nullptr ? S_OK : E_FAIL;
}

HRESULT SitoControllo::ContextSensitiveHelp(BOOL) {
  return E_NOTIMPL;
}

HRESULT SitoControllo::CanInPlaceActivate() {
  return contenitore_ != nullptr ? S_OK : S_FALSE;
}

HRESULT SitoControllo::OnInPlaceActivate() {
  return S_OK;
}

HRESULT SitoControllo::OnUIActivate() {
  return S_OK;
}

// The control takes the whole of its hidden window; the frame is the main window.
HRESULT SitoControllo::GetWindowContext(IOleInPlaceFrame** cornice, IOleInPlaceUIWindow** documento,
                                        RECT* posto, RECT* ritaglio, OLEINPLACEFRAMEINFO* info) {
  if (cornice == nullptr || documento == nullptr || posto == nullptr || ritaglio == nullptr ||
      info == nullptr)
    return E_POINTER;
  *cornice = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *documento = nullptr;
  RECT area{};
  if (contenitore_ != nullptr) GetClientRect(contenitore_, &area);
  *posto = *ritaglio = area;
  info->fMDIApp = FALSE;
  info->hwndFrame = contenitore_ != nullptr ? GetAncestor(contenitore_, GA_ROOT) : nullptr;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT SitoControllo::Scroll(SIZE) {
  return S_FALSE;
}

HRESULT SitoControllo::OnUIDeactivate(BOOL) {
  return S_OK;
}

HRESULT SitoControllo::OnInPlaceDeactivate() {
  return S_OK;
}

HRESULT SitoControllo::DiscardUndoState() {
  return S_OK;
}

HRESULT SitoControllo::DeactivateAndUndo() {
  return S_OK;
}

HRESULT SitoControllo::OnPosRectChange(const RECT*) {
  return S_OK;
}

HRESULT SitoControllo::OnControlInfoChanged() {
  return S_OK;
}

HRESULT SitoControllo::LockInPlaceActive(BOOL) {
  return S_OK;
}

// The control as the form sees it, for a control that asks its own name: the site's dispatch
// answers Name too.
HRESULT SitoControllo::GetExtendedControl(IDispatch** controllo) {
  if (controllo == nullptr) return E_POINTER;
  *controllo = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

HRESULT SitoControllo::TransformCoords(POINTL*, POINTF*, DWORD) {
  return E_NOTIMPL;
}

HRESULT SitoControllo::TranslateAccelerator(MSG*, DWORD) {
  return S_FALSE;
}

HRESULT SitoControllo::OnFocus(BOOL) {
  return S_OK;
}

HRESULT SitoControllo::ShowPropertyFrame() {
  return E_NOTIMPL;
}

HRESULT SitoControllo::GetBorder(RECT*) {
  return INPLACE_E_NOTOOLSPACE;
}

HRESULT SitoControllo::RequestBorderSpace(LPCBORDERWIDTHS) {
  return INPLACE_E_NOTOOLSPACE;
}

HRESULT SitoControllo::SetBorderSpace(LPCBORDERWIDTHS) {
  return OLE_E_INVALIDRECT;
}

HRESULT SitoControllo::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
  return S_OK;
}

HRESULT SitoControllo::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) {
  return E_NOTIMPL;
}

HRESULT SitoControllo::SetMenu(HMENU, HOLEMENU, HWND) {
  return S_OK;
}

HRESULT SitoControllo::RemoveMenus(HMENU) {
  return E_NOTIMPL;
}

HRESULT SitoControllo::SetStatusText(LPCOLESTR) {
  return S_OK;
}

HRESULT SitoControllo::EnableModeless(BOOL) {
  return S_OK;
}

HRESULT SitoControllo::TranslateAccelerator(MSG*, WORD) {
  return S_FALSE;
}

HRESULT SitoControllo::GetTypeInfoCount(UINT* quanti) {
  if (quanti == nullptr) return E_POINTER;
  *quanti = 0;
  return S_OK;
}

HRESULT SitoControllo::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT SitoControllo::GetIDsOfNames(REFIID, LPOLESTR* nomi, UINT quanti, LCID, DISPID* id) {
  if (nomi == nullptr || id == nullptr) return E_POINTER;
  if (quanti != 1 || nomi[0] == nullptr || _wcsicmp(nomi[0], L"Name") != 0) {
    for (UINT i = 0; i < quanti; ++i) id[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  *id = DISPID_Name;
  return S_OK;
}

// What a form answers: the program runs (user mode), in the user's locale, and shows nothing
// of a design surface. Any other ambient property is unknown: the control keeps its default.
// As the extended control, its name on the form.
HRESULT SitoControllo::Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                              VARIANT* risultato, EXCEPINFO*, UINT*) {
  const ParoleDelProgramma parole;
  if ((modo & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
  if (parametri != nullptr && parametri->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (risultato == nullptr) return E_POINTER;
  VariantInit(risultato);
  switch (membro) {
    case DISPID_AMBIENT_USERMODE:
      booleano(*risultato, true);
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
      booleano(*risultato, false);
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      risultato->vt = VT_I4;
      risultato->lVal = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
    case DISPID_Name:
      risultato->vt = VT_BSTR;
      risultato->bstrVal = SysAllocString(nome_controllo);
      return risultato->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace borvan

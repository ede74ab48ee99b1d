#pragma once

// The place the register's control lives in, as a form gives it to each control: its client
// site, the ambient properties it reads through it, and, for a control that shows itself at
// run time, in-place activation into a window of the program. Windows only.

#include <windows.h>
// Automation, also where the includer asked for a lean <windows.h>.
#include <ole2.h>
//
#include <ocidl.h>

namespace borvan {

// The name the control reads as its ambient DisplayName and its extended control's Name: the
// control's name on the form.
inline constexpr const wchar_t* nome_controllo = L"CoEcrCom1";

class SitoControllo final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleControlSite,
                            public IOleInPlaceFrame,
                            public IDispatch {
 public:
  // `contenitore`: the window a control visible at run time is activated into (hidden, so
  // that it never shows); none for a site that activates nothing. Starts with one reference.
  explicit SitoControllo(HWND contenitore);
  SitoControllo(const SitoControllo&) = delete;
  SitoControllo& operator=(const SitoControllo&) = delete;

  HWND contenitore() const { return contenitore_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** contenitore) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

  // IOleWindow, for the site and the frame alike
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* finestra) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** cornice,
                                             IOleInPlaceUIWindow** documento, RECT* posto,
                                             RECT* ritaglio, OLEINPLACEFRAMEINFO* info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT*) override;

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override;
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** controllo) override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;

  // IOleInPlaceUIWindow and IOleInPlaceFrame: a frame without menus, borders or status bar
  HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override;

  // IDispatch: the ambient properties, read as property gets, and the extended control's Name
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* quanti) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* nomi, UINT quanti, LCID,
                                          DISPID* id) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                                   VARIANT* risultato, EXCEPINFO*, UINT*) override;

 private:
  ~SitoControllo() = default;

  LONG riferimenti_ = 1;
  HWND contenitore_;
};

}  // namespace borvan

#pragma once

// An automation control that answers from a script and records every call as it arrived.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "automazione/testo_com.h"
#include "ecrsim/controllo_simulato.h"
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

// What a control built with another runtime may change for the whole process: the x87 and SSE
// control words (SSE status flags left out) and the unhandled-exception filter.
struct StatoProcesso {
  uint16_t x87;
  uint32_t sse;
  LPTOP_LEVEL_EXCEPTION_FILTER filtro;
  bool operator==(const StatoProcesso&) const = default;
};

inline StatoProcesso stato_processo() {
  StatoProcesso stato{};
  asm volatile("fnstcw %0" : "=m"(stato.x87));
  asm volatile("stmxcsr %0" : "=m"(stato.sse));
  stato.sse &= ~0x3Fu;
  stato.filtro = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(stato.filtro);
  return stato;
}

inline void imposta_processo(StatoProcesso stato) {
  asm volatile("fnclex\n\tfldcw %0" : : "m"(stato.x87));
  asm volatile("ldmxcsr %0" : : "m"(stato.sse));
  SetUnhandledExceptionFilter(stato.filtro);
}

inline LONG WINAPI filtro_del_controllo(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

// Rounding toward zero, 24-bit x87 precision, invalid/zero-divide/overflow unmasked, its own
// filter.
inline const StatoProcesso processo_guasto{0x0C72, 0x7900, filtro_del_controllo};

struct ChiamataRicevuta {
  DISPID membro;
  WORD modo;
  std::vector<VARTYPE> tipi;        // in the caller's order (first argument first)
  std::vector<std::wstring> testi;  // the by-reference strings, as received; "(nullo)" if null
  std::vector<DISPID> nominati;
  bool con_risultato;

  bool operator==(const ChiamataRicevuta&) const = default;
};

// The simulated control's plumbing with its own class factory; with a misc status it is a
// control made for forms (IOleObject) and records how it is hosted.
class ControlloFinto : public ecrsim::ControlloSimulato, public IClassFactory {
 public:
  std::vector<ChiamataRicevuta> chiamate;
  // Fills the result and, failing, the exception; by default the result is the 32-bit 0.
  std::function<HRESULT(DISPID, DISPPARAMS&, VARIANT*, EXCEPINFO*)> risposta;

  std::optional<DWORD> stato_misc;  // offers IOleObject with this misc status
  bool guasta_processo = false;     // leaves processo_guasto behind at creation and every call
  HRESULT esito_creazione = S_OK;   // what CreateInstance answers
  // The hosting steps as they came; and "Release" once `conta_rilasci` is set.
  std::vector<std::string> eventi;
  bool conta_rilasci = false;
  HWND finestra = nullptr;  // its own window, while activated in place

  // The references held, the test's own included.
  ULONG riferimenti() {
    AddRef();
    return ControlloSimulato::Release();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override {
    if (oggetto == nullptr) return E_POINTER;
    *oggetto = nullptr;
    if (iid == IID_IOleObject && !stato_misc) return E_NOINTERFACE;
    if (iid != IID_IClassFactory) return ControlloSimulato::QueryInterface(iid, oggetto);
    *oggetto = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ControlloSimulato::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override {
    if (conta_rilasci) eventi.push_back("Release");
    return ControlloSimulato::Release();
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                                   VARIANT* risultato, EXCEPINFO* eccezione, UINT*) override {
    if (guasta_processo) imposta_processo(processo_guasto);
    ChiamataRicevuta chiamata{membro, modo, {}, {}, {}, risultato != nullptr};
    for (UINT i = parametri->cArgs; i-- > 0;) {
      const VARIANT& argomento = parametri->rgvarg[i];
      chiamata.tipi.push_back(argomento.vt);
      if (argomento.vt == (VT_BSTR | VT_BYREF))
        chiamata.testi.push_back(
            *argomento.pbstrVal == nullptr
                ? L"(nullo)"
                : std::wstring(*argomento.pbstrVal, SysStringLen(*argomento.pbstrVal)));
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

  HRESULT STDMETHODCALLTYPE InitNew() override {
    eventi.push_back("InitNew");
    if (guasta_processo) imposta_processo(processo_guasto);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** oggetto) override {
    if (guasta_processo) imposta_processo(processo_guasto);
    if (FAILED(esito_creazione)) {
      *oggetto = nullptr;
      return esito_creazione;
    }
    return QueryInterface(iid, oggetto);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* nuovo) override {
    eventi.push_back(nuovo != nullptr ? "SetClientSite" : "SetClientSite(nullptr)");
    return ControlloSimulato::SetClientSite(nuovo);
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD salvataggio) override {
    eventi.push_back(salvataggio == OLECLOSE_NOSAVE ? "Close" : "Close(salva)");
    if (finestra != nullptr) DestroyWindow(finestra);
    finestra = nullptr;
    return S_OK;
  }
  // In-place activation as a windowed control does it: its window inside the site's.
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verbo, LPMSG, IOleClientSite* attivo, LONG, HWND,
                                   LPCRECT) override {
    eventi.push_back(verbo == OLEIVERB_INPLACEACTIVATE ? "DoVerb" : "DoVerb(altro)");
    IOleInPlaceSite* posto = nullptr;
    if (FAILED(attivo->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&posto))))
      return E_NOINTERFACE;
    HWND padre = nullptr;
    IOleInPlaceFrame* cornice = nullptr;
    IOleInPlaceUIWindow* documento = nullptr;
    RECT area{}, ritaglio{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    if (posto->CanInPlaceActivate() == S_OK && SUCCEEDED(posto->OnInPlaceActivate()) &&
        SUCCEEDED(posto->GetWindow(&padre)) &&
        SUCCEEDED(posto->GetWindowContext(&cornice, &documento, &area, &ritaglio, &info)))
      finestra = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, padre, nullptr,
                                 nullptr, nullptr);
    if (cornice != nullptr) cornice->Release();
    if (documento != nullptr) documento->Release();
    posto->Release();
    return finestra != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* stato) override {
    *stato = stato_misc.value_or(0);
    return S_OK;
  }
};

// Replaces a by-reference string the way a control does: frees it and leaves a new one.
inline void sostituisci(VARIANT& argomento, const std::string& testo) {
  SysFreeString(*argomento.pbstrVal);
  *argomento.pbstrVal = bstr_da_ansi(testo);
}

}  // namespace borvan::test

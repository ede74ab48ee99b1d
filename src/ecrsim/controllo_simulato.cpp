#include "ecrsim/controllo_simulato.h"

#include <optional>
#include <string>

#include "automazione/errori_com.h"
#include "automazione/testo_com.h"
#include "ecrsim/modulo.h"
#include "support/errore_runtime.h"
#include "support/lettura.h"
#include "support/percorsi.h"

namespace borvan::ecrsim {

namespace {

// A call the control cannot take as it came: the HRESULT Invoke answers with.
struct ChiamataNonValida {
  HRESULT esito;
  UINT argomento = 0;  // for a type mismatch: the argument's index in rgvarg
};

// The folder of the program that loaded the DLL, however long its path.
std::string cartella_programma() {
  const std::string percorso = leggi_testo_di_sistema<char>([](char* dove, size_t quanti) {
    return GetModuleFileNameA(nullptr, dove, static_cast<DWORD>(quanti));
  });
  return normalizza_percorso(estrai_cartella(percorso));
}

// The arguments in the caller's order: rgvarg holds them last first.
VARIANT& argomento(DISPPARAMS& parametri, UINT indice) {
  return parametri.rgvarg[parametri.cArgs - 1 - indice];
}

// A string argument, by reference or by value: it is written back only by reference.
class ArgomentoTesto {
 public:
  ArgomentoTesto(DISPPARAMS& parametri, UINT indice)
      : variante_(argomento(parametri, indice)), testo_(leggi(parametri, indice)) {}
  std::string& testo() { return testo_; }
  void restituisci() {
    if (variante_.vt != (VT_BSTR | VT_BYREF)) return;
    BSTR nuovo = bstr_da_ansi(testo_);
    SysFreeString(*variante_.pbstrVal);
    *variante_.pbstrVal = nuovo;
  }

 private:
  std::string leggi(DISPPARAMS& parametri, UINT indice) {
    if (variante_.vt == (VT_BSTR | VT_BYREF)) return ansi_da_bstr(*variante_.pbstrVal);
    VARIANT copia;
    VariantInit(&copia);
    if (FAILED(VariantChangeType(&copia, &variante_, 0, VT_BSTR)))
      throw ChiamataNonValida{DISP_E_TYPEMISMATCH, parametri.cArgs - 1 - indice};
    std::string testo = ansi_da_bstr(copia.bstrVal);
    VariantClear(&copia);
    return testo;
  }

  VARIANT& variante_;
  std::string testo_;
};

// What many controls do while they wait for the register: the caller's messages, dispatched
// for that long (PUMP_MESSAGES=1). A WM_QUIT is put back for the caller's own loop.
void elabora_messaggi(int32_t millisecondi) {
  const ULONGLONG fine =
      GetTickCount64() + static_cast<ULONGLONG>(millisecondi > 0 ? millisecondi : 0);
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG ora = GetTickCount64();
    if (ora >= fine) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(fine - ora), QS_ALLINPUT);
  }
}

// Writes through a null pointer the compiler cannot see: a real access violation, not the
// trap instruction it would put in place of a visible one.
void viola_memoria() {
  volatile uintptr_t nulla = 0;
  *reinterpret_cast<volatile int32_t*>(nulla) = 0;
}

// Calls an instruction written on a page that is not executable: a return, where DEP is off.
void esegui_da_dati() {
  void* pagina = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (pagina == nullptr) return;
  *static_cast<volatile unsigned char*>(pagina) = 0xC3;  // ret
  reinterpret_cast<void (*)()>(pagina)();
  VirtualFree(pagina, 0, MEM_RELEASE);
}

void verifica(DISPPARAMS& parametri, WORD modo, WORD modi_ammessi, UINT argomenti) {
  if ((modo & modi_ammessi) == 0) throw ChiamataNonValida{DISP_E_MEMBERNOTFOUND};
  const UINT nominati = modi_ammessi == DISPATCH_PROPERTYPUT ? 1 : 0;
  if (parametri.cNamedArgs != nominati ||
      (nominati == 1 && parametri.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
    throw ChiamataNonValida{DISP_E_NONAMEDARGS};
  if (parametri.cArgs != argomenti) throw ChiamataNonValida{DISP_E_BADPARAMCOUNT};
}

}  // namespace

ControlloSimulato::ControlloSimulato()
    : cartella_(cartella_programma()),
      registratore_(cartella_),
      sito_richiesto_(leggi_impostazioni_simulatore(cartella_).sito_richiesto) {
  registratore_.imposta_ciclo_eventi(elabora_messaggi);
  oggetto_creato();
}

ControlloSimulato::~ControlloSimulato() {
  if (sito_ != nullptr) sito_->Release();
  oggetto_distrutto();
}

HRESULT ControlloSimulato::QueryInterface(REFIID iid, void** oggetto) {
  if (oggetto == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *oggetto = static_cast<IDispatch*>(this);
  } else if (iid == IID_IOleObject) {
    *oggetto = static_cast<IOleObject*>(this);
  } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
    *oggetto = static_cast<IPersistStreamInit*>(this);
  } else {
    *oggetto = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ControlloSimulato::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&riferimenti_));
}

ULONG ControlloSimulato::Release() {
  const LONG rimasti = InterlockedDecrement(&riferimenti_);
  if (rimasti == 0) delete this;
  return static_cast<ULONG>(rimasti);
}

HRESULT ControlloSimulato::GetTypeInfoCount(UINT* quanti) {
  if (quanti == nullptr) return E_POINTER;
  *quanti = 0;  // no type library: callers bind by dispatch id
  return S_OK;
}

HRESULT ControlloSimulato::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT ControlloSimulato::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT ControlloSimulato::Invoke(DISPID membro, REFIID, LCID, WORD modo, DISPPARAMS* parametri,
                                  VARIANT* risultato, EXCEPINFO* eccezione,
                                  UINT* argomento_errato) {
  if (parametri == nullptr) return E_INVALIDARG;
  leggi_impostazioni(membro);
  // Outside any handler of the stand-in's own: the crash goes to the host as it is.
  if (membro_in_crash_ != 0 && membro == membro_in_crash_) viola_memoria();
  if (membro_da_dati_ != 0 && membro == membro_da_dati_) esegui_da_dati();
  std::optional<ErroreRuntime> errore;
  int32_t valore = 0;
  try {
    valore = esegui(membro, modo, *parametri);
  } catch (const ChiamataNonValida& chiamata) {
    if (argomento_errato != nullptr) *argomento_errato = chiamata.argomento;
    return chiamata.esito;
  } catch (...) {
    errore = errore_corrente();
  }
  if (errore) {
    if (eccezione == nullptr) return hresult_da_numero(errore->numero());
    riempi_eccezione(*errore, *eccezione);
    return DISP_E_EXCEPTION;
  }
  if (risultato != nullptr && modo != DISPATCH_PROPERTYPUT) {
    VariantInit(risultato);
    risultato->vt = VT_I4;
    risultato->lVal = valore;
  }
  return S_OK;
}

int32_t ControlloSimulato::esegui(DISPID membro, WORD modo, DISPPARAMS& parametri) {
  verifica_sito();
  constexpr WORD chiamata = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  switch (membro) {
    case membro_proprieta_9: {
      verifica(parametri, modo, DISPATCH_PROPERTYPUT, 1);
      VARIANT valore;
      VariantInit(&valore);
      if (FAILED(VariantChangeType(&valore, &parametri.rgvarg[0], 0, VT_I2)))
        throw ChiamataNonValida{DISP_E_TYPEMISMATCH, 0};
      registratore_.imposta_proprieta_9(valore.iVal);
      return 0;
    }
    case membro_apri: {
      verifica(parametri, modo, chiamata, 1);
      ArgomentoTesto richiesta(parametri, 0);
      const int32_t risultato = registratore_.apri(richiesta.testo());
      richiesta.restituisci();
      return risultato;
    }
    case membro_stato:
      verifica(parametri, modo, chiamata, 0);
      return registratore_.stato();
    case membro_invia: {
      verifica(parametri, modo, chiamata, 2);
      ArgomentoTesto riga(parametri, 0), risposta(parametri, 1);
      const int32_t risultato = registratore_.invia(riga.testo(), risposta.testo());
      riga.restituisci();
      risposta.restituisci();
      return risultato;
    }
    case membro_chiudi:
      verifica(parametri, modo, chiamata, 0);
      return registratore_.chiudi();
    default:
      throw ChiamataNonValida{DISP_E_MEMBERNOTFOUND};
  }
}

}  // namespace borvan::ecrsim

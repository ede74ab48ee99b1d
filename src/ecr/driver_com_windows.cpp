#include "ecr/driver_com.h"

#include <ocidl.h>

#include <string>

#include "ecr/driver_com_errori.h"
#include "ecr/driver_com_testo.h"
#include "support/errore_runtime.h"

namespace borvan {

namespace {

constexpr DISPID membro_proprieta_9 = 9;
constexpr DISPID membro_stato = 10;
constexpr DISPID membro_apri = 12;
constexpr DISPID membro_chiudi = 13;
constexpr DISPID membro_invia = 17;

// Releases an interface on every way out.
template <typename Interfaccia>
struct Riferimento {
  Interfaccia* p = nullptr;
  ~Riferimento() {
    if (p != nullptr) p->Release();
  }
};

std::wstring wide(const std::string& testo) {
  Bstr bstr(testo);
  return std::wstring(bstr.get(), SysStringLen(bstr.get()));
}

// Creates the control and initialises it as a form does for a control it hosts.
HRESULT crea_controllo(const std::string& progid, IDispatch** controllo) {
  CLSID classe;
  HRESULT esito = CLSIDFromProgID(wide(progid).c_str(), &classe);
  if (FAILED(esito)) return esito;
  Riferimento<IUnknown> oggetto;
  esito = CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(&oggetto.p));
  if (FAILED(esito)) return esito;
  Riferimento<IPersistStreamInit> persistenza;
  if (SUCCEEDED(oggetto.p->QueryInterface(IID_IPersistStreamInit,
                                          reinterpret_cast<void**>(&persistenza.p)))) {
    esito = persistenza.p->InitNew();
    if (FAILED(esito)) return esito;
  }
  return oggetto.p->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(controllo));
}

}  // namespace

DriverCom::DriverCom(IDispatch* controllo, bool com_da_rilasciare)
    : controllo_(controllo), com_da_rilasciare_(com_da_rilasciare) {}

DriverCom::~DriverCom() {
  controllo_->Release();
  if (com_da_rilasciare_) CoUninitialize();
}

std::unique_ptr<DriverCom> DriverCom::crea(const std::string& progid) {
  // A thread already in another apartment keeps it; only our own initialisation is ended.
  const bool com_da_rilasciare = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  IDispatch* controllo = nullptr;
  const HRESULT esito = crea_controllo(progid, &controllo);
  if (SUCCEEDED(esito)) return std::make_unique<DriverCom>(controllo, com_da_rilasciare);
  if (com_da_rilasciare) CoUninitialize();
  throw errore_da_creazione(esito, progid);
}

void DriverCom::invoca(DISPID membro, WORD modo, DISPPARAMS& parametri, VARIANT* risultato) {
  EXCEPINFO eccezione{};
  UINT argomento_errato = 0;
  const HRESULT esito = controllo_->Invoke(membro, IID_NULL, LOCALE_USER_DEFAULT, modo, &parametri,
                                           risultato, &eccezione, &argomento_errato);
  if (FAILED(esito)) throw errore_da_chiamata(esito, eccezione);
}

// Every result is converted to a 32-bit signed integer; a result that does not convert is a
// run-time error like a failed call.
int32_t DriverCom::chiama(DISPID membro, WORD modo, DISPPARAMS& parametri) {
  VARIANT risultato;
  VariantInit(&risultato);
  invoca(membro, modo, parametri, &risultato);
  const HRESULT esito = VariantChangeType(&risultato, &risultato, 0, VT_I4);
  const int32_t valore = SUCCEEDED(esito) ? risultato.lVal : 0;
  VariantClear(&risultato);
  if (FAILED(esito)) {
    EXCEPINFO nessuna{};
    throw errore_da_chiamata(esito, nessuna);
  }
  return valore;
}

void DriverCom::imposta_proprieta_9(int16_t valore) {
  VARIANT argomento;
  VariantInit(&argomento);
  argomento.vt = VT_I2;
  argomento.iVal = valore;
  DISPID nominato = DISPID_PROPERTYPUT;
  DISPPARAMS parametri{&argomento, &nominato, 1, 1};
  invoca(membro_proprieta_9, DISPATCH_PROPERTYPUT, parametri, nullptr);
}

int32_t DriverCom::apri(std::string& richiesta) {
  Bstr testo(richiesta);
  VARIANT argomento;
  VariantInit(&argomento);
  argomento.vt = VT_BSTR | VT_BYREF;
  argomento.pbstrVal = testo.indirizzo();
  DISPPARAMS parametri{&argomento, nullptr, 1, 0};
  const int32_t risultato = chiama(membro_apri, DISPATCH_METHOD, parametri);
  richiesta = testo.ansi();
  return risultato;
}

int32_t DriverCom::stato() {
  DISPPARAMS parametri{nullptr, nullptr, 0, 0};
  return chiama(membro_stato, DISPATCH_METHOD | DISPATCH_PROPERTYGET, parametri);
}

int32_t DriverCom::invia(std::string& riga, std::string& risposta) {
  Bstr testo_riga(riga), testo_risposta(risposta);
  // The arguments go in reverse order: the response string is the last one.
  VARIANT argomenti[2];
  VariantInit(&argomenti[0]);
  VariantInit(&argomenti[1]);
  argomenti[0].vt = argomenti[1].vt = VT_BSTR | VT_BYREF;
  argomenti[0].pbstrVal = testo_risposta.indirizzo();
  argomenti[1].pbstrVal = testo_riga.indirizzo();
  DISPPARAMS parametri{argomenti, nullptr, 2, 0};
  const int32_t risultato = chiama(membro_invia, DISPATCH_METHOD, parametri);
  riga = testo_riga.ansi();
  risposta = testo_risposta.ansi();
  return risultato;
}

int32_t DriverCom::chiudi() {
  DISPPARAMS parametri{nullptr, nullptr, 0, 0};
  return chiama(membro_chiudi, DISPATCH_METHOD, parametri);
}

}  // namespace borvan

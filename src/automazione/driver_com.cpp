#include "automazione/driver_com.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "automazione/errori_com.h"
#include "automazione/filtro_arresto.h"
#include "automazione/sito_controllo.h"
#include "automazione/testo_com.h"
#include "automazione/virgola_mobile.h"
#include "support/errore_runtime.h"

namespace borvan {

namespace {

// Releases an interface on every way out.
template <typename Interfaccia>
struct Riferimento {
  Interfaccia* p = nullptr;
  ~Riferimento() {
    if (p != nullptr) p->Release();
  }
};

// Controls built with other runtimes change what belongs to the whole process and leave it so:
// the floating-point control words (precision, rounding, exceptions unmasked) and the filter of
// unhandled exceptions. The program's own are put back after their every call: the words, so
// that its arithmetic never starts to trap or round otherwise; the filter, so that a crash still
// leaves its report.
class Ripristino {
 public:
  Ripristino() = default;
  ~Ripristino() { rimetti_filtro_arresto(); }
  Ripristino(const Ripristino&) = delete;
  Ripristino& operator=(const Ripristino&) = delete;

 private:
  ParoleRipristinate parole_;
};

std::wstring wide(const std::string& testo) {
  Bstr bstr(testo);
  return std::wstring(bstr.get(), SysStringLen(bstr.get()));
}

}  // namespace

DriverCom::DriverCom(IDispatch* controllo) : controllo_(controllo) {}

DriverCom::~DriverCom() {
  Ripristino ripristino;
  if (oggetto_ != nullptr) {
    oggetto_->Close(OLECLOSE_NOSAVE);
    oggetto_->SetClientSite(nullptr);
    oggetto_->Release();
  }
  if (controllo_ != nullptr) controllo_->Release();
  if (sito_ != nullptr) sito_->Release();
}

std::unique_ptr<DriverCom> DriverCom::crea(const std::string& progid, HWND contenitore) {
  // A control made for forms runs in the single-threaded apartment of the window that hosts
  // it, and nowhere else: elsewhere its calls would come from threads it does not expect.
  APTTYPE tipo{};
  APTTYPEQUALIFIER qualificatore{};
  if (FAILED(CoGetApartmentType(&tipo, &qualificatore)) ||
      (tipo != APTTYPE_STA && tipo != APTTYPE_MAINSTA))
    throw errore_da_creazione(RPC_E_WRONG_THREAD, progid);
  Ripristino ripristino;
  std::unique_ptr<DriverCom> driver(new DriverCom(nullptr));
  const HRESULT esito = driver->ospita(progid, contenitore);
  // A control half made is let go as any other, by the destructor.
  if (FAILED(esito)) throw errore_da_creazione(esito, progid);
  return driver;
}

// What a form does with a control it holds: the site first when the control asks for it,
// InitNew, the site otherwise after it; then, unless the control is invisible at run time,
// activation in place.
HRESULT DriverCom::ospita(const std::string& progid, HWND contenitore) {
  CLSID classe;
  HRESULT esito = CLSIDFromProgID(wide(progid).c_str(), &classe);
  if (FAILED(esito)) return esito;
  Riferimento<IUnknown> oggetto;
  esito = CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(&oggetto.p));
  if (FAILED(esito)) return esito;
  DWORD stato = 0;
  if (SUCCEEDED(oggetto.p->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oggetto_)))) {
    if (FAILED(oggetto_->GetMiscStatus(DVASPECT_CONTENT, &stato))) stato = 0;
    sito_ = new SitoControllo(contenitore);
  }
  const bool sito_prima = (stato & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (oggetto_ != nullptr && sito_prima) {
    esito = oggetto_->SetClientSite(sito_);
    if (FAILED(esito)) return esito;
  }
  Riferimento<IPersistStreamInit> persistenza;
  if (SUCCEEDED(oggetto.p->QueryInterface(IID_IPersistStreamInit,
                                          reinterpret_cast<void**>(&persistenza.p)))) {
    esito = persistenza.p->InitNew();
    if (FAILED(esito)) return esito;
  }
  if (oggetto_ != nullptr && !sito_prima) {
    esito = oggetto_->SetClientSite(sito_);
    if (FAILED(esito)) return esito;
  }
  if (oggetto_ != nullptr && (stato & OLEMISC_INVISIBLEATRUNTIME) == 0 && contenitore != nullptr) {
    RECT area{};
    GetClientRect(contenitore, &area);
    // A control that cannot be activated in place may still answer its members: its answer
    // here decides nothing.
    oggetto_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, sito_, 0, contenitore, &area);
  }
  return oggetto.p->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&controllo_));
}

// What the control leaves in the variants is the caller's to free: an argument whose type it
// changed holds a value of its own in place of our by-reference string, which stays ours; and
// a call that fails may still have filled its result.
void DriverCom::invoca(DISPID membro, WORD modo, DISPPARAMS& parametri, VARIANT* risultato) {
  EXCEPINFO eccezione{};
  UINT argomento_errato = 0;
  std::vector<VARTYPE> tipi;
  for (UINT i = 0; i < parametri.cArgs; ++i) tipi.push_back(parametri.rgvarg[i].vt);
  HRESULT esito;
  {
    Ripristino ripristino;
    esito = controllo_->Invoke(membro, IID_NULL, LOCALE_USER_DEFAULT, modo, &parametri, risultato,
                               &eccezione, &argomento_errato);
  }
  for (UINT i = 0; i < parametri.cArgs; ++i)
    if (parametri.rgvarg[i].vt != tipi[i]) VariantClear(&parametri.rgvarg[i]);
  if (FAILED(esito)) {
    if (risultato != nullptr) VariantClear(risultato);
    throw errore_da_chiamata(esito, eccezione);
  }
}

// A member is called as late binding calls one whose result is used, so that a member the
// control made as a property get answers too. Every result is converted to a 32-bit signed
// integer; a result that does not convert is a run-time error like a failed call.
int32_t DriverCom::chiama(DISPID membro, DISPPARAMS& parametri) {
  VARIANT risultato;
  VariantInit(&risultato);
  invoca(membro, DISPATCH_METHOD | DISPATCH_PROPERTYGET, parametri, &risultato);
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
  const int32_t risultato = chiama(membro_apri, parametri);
  richiesta = testo.ansi();
  return risultato;
}

int32_t DriverCom::stato() {
  DISPPARAMS parametri{nullptr, nullptr, 0, 0};
  return chiama(membro_stato, parametri);
}

// An empty response goes as a null string, as a form passes a String it has not yet filled.
int32_t DriverCom::invia(std::string& riga, std::string& risposta) {
  Bstr testo_riga(riga);
  Bstr testo_risposta = risposta.empty() ? Bstr() : Bstr(risposta);
  // The arguments go in reverse order: the response string is the last one.
  VARIANT argomenti[2];
  VariantInit(&argomenti[0]);
  VariantInit(&argomenti[1]);
  argomenti[0].vt = argomenti[1].vt = VT_BSTR | VT_BYREF;
  argomenti[0].pbstrVal = testo_risposta.indirizzo();
  argomenti[1].pbstrVal = testo_riga.indirizzo();
  DISPPARAMS parametri{argomenti, nullptr, 2, 0};
  const int32_t risultato = chiama(membro_invia, parametri);
  riga = testo_riga.ansi();
  risposta = testo_risposta.ansi();
  return risultato;
}

int32_t DriverCom::chiudi() {
  DISPPARAMS parametri{nullptr, nullptr, 0, 0};
  return chiama(membro_chiudi, parametri);
}

}  // namespace borvan

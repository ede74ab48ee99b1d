#include "automazione/errori_com.h"

#include <cstdio>
#include <string>

#include "automazione/testo_com.h"
#include "ecr/driver_assente.h"
#include "support/nome_programma.h"

namespace borvan {

namespace {

// The numbers a late-bound caller has always seen for the standard dispatch failures.
int32_t numero_da_hresult(HRESULT esito) {
  if (HRESULT_FACILITY(esito) == FACILITY_CONTROL && FAILED(esito) && LOWORD(esito) != 0)
    return LOWORD(esito);
  switch (esito) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return codice_errore::metodo_non_supportato;
    case DISP_E_TYPEMISMATCH:
    case DISP_E_BADVARTYPE:
      return codice_errore::tipo_non_corrispondente;
    case DISP_E_OVERFLOW:
      return codice_errore::overflow;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_NONAMEDARGS:
      return codice_errore::numero_argomenti_errato;
    case DISP_E_PARAMNOTOPTIONAL:
      return codice_errore::argomento_obbligatorio;
    case E_OUTOFMEMORY:
      return codice_errore::memoria_esaurita;
    case E_INVALIDARG:
      return codice_errore::chiamata_non_valida;
    default:
      return codice_errore::errore_automazione;
  }
}

std::string esadecimale(HRESULT esito) {
  char testo[16];
  std::snprintf(testo, sizeof testo, "0x%08lX", static_cast<unsigned long>(esito));
  return testo;
}

}  // namespace

HRESULT hresult_da_numero(int32_t numero) {
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<WORD>(numero));
}

ErroreRuntime errore_da_chiamata(HRESULT esito, EXCEPINFO& eccezione) {
  if (esito != DISP_E_EXCEPTION) {
    const int32_t numero = numero_da_hresult(esito);
    std::string descrizione = descrizione_errore(numero);
    if (numero == codice_errore::errore_automazione) descrizione += " (" + esadecimale(esito) + ")";
    return ErroreRuntime(numero, descrizione);
  }
  if (eccezione.pfnDeferredFillIn != nullptr) eccezione.pfnDeferredFillIn(&eccezione);
  std::string descrizione = ansi_da_bstr(eccezione.bstrDescription);
  std::string sorgente = ansi_da_bstr(eccezione.bstrSource);
  SysFreeString(eccezione.bstrDescription);
  SysFreeString(eccezione.bstrSource);
  SysFreeString(eccezione.bstrHelpFile);
  eccezione.bstrDescription = eccezione.bstrSource = eccezione.bstrHelpFile = nullptr;
  // A control reports either a plain error number (wCode) or an HRESULT (scode).
  const int32_t numero =
      eccezione.wCode != 0 ? eccezione.wCode : numero_da_hresult(eccezione.scode);
  if (descrizione.empty() && numero == codice_errore::errore_automazione)
    descrizione = descrizione_errore(numero) + " (" + esadecimale(eccezione.scode) + ")";
  return ErroreRuntime(numero, descrizione, sorgente.empty() ? nome_programma : sorgente);
}

ErroreRuntime errore_da_creazione(HRESULT esito, const std::string& progid) {
  const bool non_installato = esito == CO_E_CLASSSTRING || esito == REGDB_E_CLASSNOTREG ||
                              esito == REGDB_E_READREGDB || esito == CO_E_DLLNOTFOUND ||
                              esito == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  std::string motivo;
  if (non_installato) {
    motivo = std::string(motivo_driver_non_installato) + " (" + progid + ")";
  } else if (esito == RPC_E_WRONG_THREAD) {
    motivo = "Driver del registratore non utilizzabile fuori da un apartment single-threaded (" +
             progid + ")";
  } else if (esito == CLASS_E_NOTLICENSED) {
    // A licensed control whose licence this machine lacks: installing it again may help.
    motivo = "Driver del registratore senza licenza su questo computer (" + progid + ")";
  } else {
    motivo = "Impossibile creare il driver del registratore (" + progid + "): errore " +
             esadecimale(esito);
  }
  return ErroreRuntime(codice_errore::impossibile_creare_oggetto, motivo);
}

void riempi_eccezione(const ErroreRuntime& errore, EXCEPINFO& eccezione) {
  eccezione = EXCEPINFO{};
  eccezione.scode = hresult_da_numero(errore.numero());
  eccezione.bstrDescription = bstr_da_ansi(errore.descrizione());
  eccezione.bstrSource = bstr_da_ansi(errore.sorgente());
}

}  // namespace borvan

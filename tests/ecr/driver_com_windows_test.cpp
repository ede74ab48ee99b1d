#include "ecr/driver_com.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ecr/controllo_finto_windows.h"
#include "ecr/driver_com_errori.h"
#include "ecr/driver_com_testo.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

using test::ChiamataRicevuta;
using test::ControlloFinto;
using test::errore_di;
using test::tutti_i_byte;

// The driver over a double that outlives it.
struct Banco {
  ControlloFinto controllo;
  std::optional<DriverCom> driver;
  Banco() {
    controllo.AddRef();  // the driver's reference
    driver.emplace(&controllo);
  }
};

// One job's calls, each member with the arguments and types the control expects.
TEST(DriverCom, OgniMembroArrivaConIdTipoEArgomenti) {
  Banco b;
  b.driver->imposta_proprieta_9(0);
  std::string richiesta = "PORT = 1", riga = "VEND 1,00", risposta;
  EXPECT_EQ(b.driver->apri(richiesta), 0);
  EXPECT_EQ(b.driver->stato(), 0);
  EXPECT_EQ(b.driver->invia(riga, risposta), 0);
  EXPECT_EQ(b.driver->chiudi(), 0);
  constexpr VARTYPE per_riferimento = VT_BSTR | VT_BYREF;
  const std::vector<ChiamataRicevuta> attese = {
      {9, DISPATCH_PROPERTYPUT, {VT_I2}, {}, {DISPID_PROPERTYPUT}, false},
      {12, DISPATCH_METHOD, {per_riferimento}, {L"PORT = 1"}, {}, true},
      {10, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, {}, {}, true},
      {17, DISPATCH_METHOD, {per_riferimento, per_riferimento}, {L"VEND 1,00", L""}, {}, true},
      {13, DISPATCH_METHOD, {}, {}, {}, true}};
  EXPECT_EQ(b.controllo.chiamate, attese);
  EXPECT_EQ(risposta, "");
}

// The control's answer comes back through the by-reference strings, every byte of it.
TEST(DriverCom, LeStringhePerRiferimentoTornanoByteEsatte) {
  Banco b;
  const std::string tutti = tutti_i_byte();
  b.controllo.risposta = [&](DISPID, DISPPARAMS& p, VARIANT* r, EXCEPINFO*) {
    // Echo the line into the response, and mark the line: both must come back.
    const std::string riga = ansi_da_bstr(*p.rgvarg[1].pbstrVal);
    test::sostituisci(p.rgvarg[0], riga);
    test::sostituisci(p.rgvarg[1], riga + "!");
    r->vt = VT_I4;
    r->lVal = 7;
    return S_OK;
  };
  std::string riga = tutti, risposta;
  EXPECT_EQ(b.driver->invia(riga, risposta), 7);
  EXPECT_EQ(risposta, tutti);
  EXPECT_EQ(riga, tutti + "!");
  // One wide character a byte, the NUL included: the round trip above is then byte for byte.
  EXPECT_EQ(b.controllo.chiamate.at(0).testi.at(0).size(), tutti.size());
}

// Whatever type a member answers with, the program tests a 32-bit signed integer: converted,
// or failing as a type mismatch or an overflow.
TEST(DriverCom, IlRisultatoDiventaUnInteroA32Bit) {
  const std::tuple<double, const wchar_t*, std::string> casi[] = {
      {2.5, nullptr, "2"},  // rounded to even, as the conversion always has
      {0, L"carta", "13|Tipo non corrispondente|BorvanIF"},
      {1e10, nullptr, "6|Overflow|BorvanIF"}};
  for (const auto& [numero, testo, atteso] : casi) {
    Banco b;
    b.controllo.risposta = [&](DISPID, DISPPARAMS&, VARIANT* r, EXCEPINFO*) {
      r->vt = testo != nullptr ? VT_BSTR : VT_R8;
      if (testo != nullptr)
        r->bstrVal = SysAllocString(testo);
      else
        r->dblVal = numero;
      return S_OK;
    };
    std::string esito;
    const std::string errore = errore_di([&] { esito = std::to_string(b.driver->stato()); });
    EXPECT_EQ(errore == "nessuno" ? esito : errore, atteso);
  }
}

HRESULT STDAPICALLTYPE riempi_dopo(EXCEPINFO* eccezione) {
  eccezione->scode = hresult_da_numero(68);
  eccezione->bstrDescription = SysAllocString(L"Periferica non disponibile");
  return S_OK;
}

// A failed call is the program's run-time error, with the number an operator knows.
TEST(DriverCom, UnaChiamataFallitaDiventaErroreRuntime) {
  struct Caso {
    HRESULT esito;
    SCODE scode;
    WORD codice;
    const wchar_t* descrizione;
    const wchar_t* sorgente;
    bool differita;
    std::string atteso;
  };
  const Caso casi[] = {
      {DISP_E_EXCEPTION, static_cast<SCODE>(0x800A0039), 0, L"Carta inceppata", L"ECRSIM", false,
       "57|Carta inceppata|ECRSIM"},
      {DISP_E_EXCEPTION, 0, 1001, L"Cassetto aperto", L"", false, "1001|Cassetto aperto|BorvanIF"},
      {DISP_E_EXCEPTION, 0, 0, nullptr, nullptr, true, "68|Periferica non disponibile|BorvanIF"},
      {DISP_E_EXCEPTION, E_FAIL, 0, nullptr, L"Ecr", false,
       "440|Errore di automazione (0x80004005)|Ecr"},
      {DISP_E_MEMBERNOTFOUND, 0, 0, nullptr, nullptr, false,
       "438|Proprieta' o metodo non supportati dall'oggetto|BorvanIF"},
      {DISP_E_BADPARAMCOUNT, 0, 0, nullptr, nullptr, false,
       "450|Numero di argomenti errato o assegnazione di proprieta' non valida|BorvanIF"},
      {static_cast<HRESULT>(0x800A0044), 0, 0, nullptr, nullptr, false,
       "68|Errore definito dall'applicazione o dall'oggetto|BorvanIF"},
      {E_FAIL, 0, 0, nullptr, nullptr, false, "440|Errore di automazione (0x80004005)|BorvanIF"},
  };
  for (const Caso& caso : casi) {
    Banco b;
    b.controllo.risposta = [&](DISPID, DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
      if (caso.esito != DISP_E_EXCEPTION) return caso.esito;
      e->scode = caso.scode;
      e->wCode = caso.codice;
      e->bstrDescription = caso.descrizione ? SysAllocString(caso.descrizione) : nullptr;
      e->bstrSource = caso.sorgente ? SysAllocString(caso.sorgente) : nullptr;
      if (caso.differita) e->pfnDeferredFillIn = riempi_dopo;
      return caso.esito;
    };
    EXPECT_EQ(errore_di([&] { b.driver->stato(); }), caso.atteso);
  }
  // Every member fails the same way, the property put included.
  Banco b;
  b.controllo.risposta = [](DISPID, DISPPARAMS&, VARIANT*, EXCEPINFO*) { return E_FAIL; };
  std::string testo;
  const std::function<void()> membri[] = {
      [&] { b.driver->imposta_proprieta_9(0); }, [&] { b.driver->apri(testo); },
      [&] { b.driver->stato(); }, [&] { b.driver->invia(testo, testo); },
      [&] { b.driver->chiudi(); }};
  for (const auto& membro : membri) EXPECT_EQ(errore_di(membro).substr(0, 4), "440|");
}

// {3A8C5F71-0B2E-4C9D-9E61-5D0F2B7A4C13}
constexpr CLSID classe_finta = {
    0x3a8c5f71, 0x0b2e, 0x4c9d, {0x9e, 0x61, 0x5d, 0x0f, 0x2b, 0x7a, 0x4c, 0x13}};
constexpr const char* progid_finto = "BorvanTest.ControlloFinto";

// Created from its ProgID, the control is initialised as a hosted control before any call,
// and released with the driver.
TEST(DriverCom, CreatoDalProgIdEInizializzatoPrimaDelleChiamate) {
  const char* testo_classe = "{3A8C5F71-0B2E-4C9D-9E61-5D0F2B7A4C13}";
  ASSERT_EQ(
      RegSetKeyValueA(HKEY_CLASSES_ROOT, (std::string(progid_finto) + "\\CLSID").c_str(), nullptr,
                      REG_SZ, testo_classe, static_cast<DWORD>(std::strlen(testo_classe) + 1)),
      ERROR_SUCCESS);

  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  ControlloFinto controllo;
  DWORD registrazione = 0;
  ASSERT_EQ(CoRegisterClassObject(classe_finta, static_cast<IClassFactory*>(&controllo),
                                  CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registrazione),
            S_OK);
  {
    auto driver = DriverCom::crea(progid_finto);
    EXPECT_TRUE(controllo.inizializzato);
    EXPECT_EQ(driver->stato(), 0);
    EXPECT_FALSE(controllo.chiamato_prima_di_init_new);
  }
  CoRevokeClassObject(registrazione);
  EXPECT_EQ(controllo.riferimenti, 1u);
  CoUninitialize();
  RegDeleteTreeA(HKEY_CLASSES_ROOT, progid_finto);

  // Not installed: the error names the driver that is missing.
  EXPECT_EQ(errore_di([] { DriverCom::crea(progid_finto); }),
            "429|Driver del registratore non installato (BorvanTest.ControlloFinto)|BorvanIF");
}

}  // namespace
}  // namespace borvan

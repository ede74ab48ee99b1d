#include "automazione/driver_com.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automazione/controllo_finto.h"
#include "automazione/errori_com.h"
#include "automazione/filtro_arresto.h"
#include "automazione/testo_com.h"
#include "ecr/driver_assente.h"
#include "support/errore_runtime.h"

namespace borvan {
namespace {

using test::ChiamataRicevuta;
using test::ControlloFinto;
using test::errore_di;
using test::tutti_i_byte;

LONG WINAPI filtro_del_programma(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

// {3A8C5F71-0B2E-4C9D-9E61-5D0F2B7A4C13}
constexpr CLSID classe_finta = {
    0x3a8c5f71, 0x0b2e, 0x4c9d, {0x9e, 0x61, 0x5d, 0x0f, 0x2b, 0x7a, 0x4c, 0x13}};
constexpr const char* progid_finto = "BorvanTest.ControlloFinto";

// The double registered under a ProgID of its own for the scope, and a hidden window to live in.
struct Installato {
  ControlloFinto controllo;
  DWORD registrazione = 0;
  ULONG riferimenti_iniziali = 0;
  HWND finestra = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
  HWND contenitore =
      CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 32, 32, finestra, nullptr, nullptr, nullptr);

  Installato() {
    const char* testo_classe = "{3A8C5F71-0B2E-4C9D-9E61-5D0F2B7A4C13}";
    RegSetKeyValueA(HKEY_CLASSES_ROOT, (std::string(progid_finto) + "\\CLSID").c_str(), nullptr,
                    REG_SZ, testo_classe, static_cast<DWORD>(std::strlen(testo_classe) + 1));
    OleInitialize(nullptr);
    CoRegisterClassObject(classe_finta, static_cast<IClassFactory*>(&controllo),
                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registrazione);
    riferimenti_iniziali = controllo.riferimenti();
  }
  ~Installato() {
    CoRevokeClassObject(registrazione);
    OleUninitialize();
    RegDeleteTreeA(HKEY_CLASSES_ROOT, progid_finto);
    DestroyWindow(finestra);
  }
  std::unique_ptr<DriverCom> crea() { return DriverCom::crea(progid_finto, contenitore); }
};

// Each member once, in a job's order.
std::vector<std::function<void()>> ogni_membro(DriverEcr& driver) {
  return {[&driver] { driver.imposta_proprieta_9(0); },
          [&driver, richiesta = std::string("PORT = 1")]() mutable { driver.apri(richiesta); },
          [&driver] { driver.stato(); },
          [&driver, riga = std::string("A"), risposta = std::string()]() mutable {
            driver.invia(riga, risposta);
          },
          [&driver] { driver.chiudi(); }};
}

HRESULT STDAPICALLTYPE riempi_dopo(EXCEPINFO* eccezione) {
  eccezione->scode = hresult_da_numero(68);
  eccezione->bstrDescription = SysAllocString(L"Periferica non disponibile");
  return S_OK;
}

// Each member's arguments and types; the answer back through the by-reference strings, every
// byte; any result type as a 32-bit integer or an error; failures as the operator's numbers.
TEST(DriverCom, ArgomentiRisposteEdErrori) {
  Installato installato;
  const auto driver = installato.crea();
  for (const auto& membro : ogni_membro(*driver)) membro();
  constexpr VARTYPE per_riferimento = VT_BSTR | VT_BYREF;
  // As late binding calls a member whose result is used: a property get answers too.
  constexpr WORD chiamata = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  const std::vector<ChiamataRicevuta> attese = {
      {membro_proprieta_9, DISPATCH_PROPERTYPUT, {VT_I2}, {}, {DISPID_PROPERTYPUT}, false},
      {membro_apri, chiamata, {per_riferimento}, {L"PORT = 1"}, {}, true},
      {membro_stato, chiamata, {}, {}, {}, true},
      {membro_invia, chiamata, {per_riferimento, per_riferimento}, {L"A", L"(nullo)"}, {}, true},
      {membro_chiudi, chiamata, {}, {}, {}, true}};
  EXPECT_EQ(installato.controllo.chiamate, attese);

  const std::string tutti = tutti_i_byte();
  installato.controllo.risposta = [&](DISPID, DISPPARAMS& p, VARIANT* r, EXCEPINFO*) {
    const std::string riga = ansi_da_bstr(*p.rgvarg[1].pbstrVal);
    test::sostituisci(p.rgvarg[0], riga);
    test::sostituisci(p.rgvarg[1], riga + "!");
    r->vt = VT_I4;
    r->lVal = 7;
    return S_OK;
  };
  std::string riga = tutti, risposta;
  EXPECT_EQ(driver->invia(riga, risposta), 7);
  EXPECT_EQ(risposta, tutti);
  EXPECT_EQ(riga, tutti + "!");
  EXPECT_EQ(installato.controllo.chiamate.back().testi.at(0).size(), tutti.size());

  // Failing, the control leaves an object of its own in the response and in the result: both
  // are the caller's to release.
  ControlloFinto& controllo = installato.controllo;
  const ULONG riferimenti = controllo.riferimenti();
  controllo.risposta = [&](DISPID, DISPPARAMS& p, VARIANT* r, EXCEPINFO*) {
    for (VARIANT* oggetto : {&p.rgvarg[0], r}) {
      oggetto->vt = VT_DISPATCH;
      oggetto->pdispVal = static_cast<IDispatch*>(&controllo);
      controllo.AddRef();
    }
    return E_FAIL;
  };
  riga = "B";
  EXPECT_EQ(errore_di([&] { driver->invia(riga, risposta); }).substr(0, 4), "440|");
  EXPECT_EQ(controllo.riferimenti(), riferimenti);

  // The result when it succeeds (a double, or a string); the exception when it fails with one.
  struct Caso {
    HRESULT esito;
    std::string atteso;
    double numero = 0;
    const wchar_t* testo = nullptr;
    SCODE scode = 0;
    WORD codice = 0;
    const wchar_t *descrizione = nullptr, *sorgente = nullptr;
    bool differita = false;
  };
  constexpr HRESULT eccezione = DISP_E_EXCEPTION;
  const Caso casi[] = {
      {S_OK, "2", 2.5},  // rounded to even, as it always has been
      {.esito = S_OK, .atteso = "13|Tipo non corrispondente|BorvanIF", .testo = L"carta"},
      {S_OK, "6|Overflow|BorvanIF", 1e10},
      {.esito = eccezione,
       .atteso = "57|Carta inceppata|ECRSIM",
       .scode = static_cast<SCODE>(0x800A0039),
       .descrizione = L"Carta inceppata",
       .sorgente = L"ECRSIM"},
      {.esito = eccezione,
       .atteso = "1001|Cassetto aperto|BorvanIF",
       .codice = 1001,
       .descrizione = L"Cassetto aperto",
       .sorgente = L""},
      {.esito = eccezione, .atteso = "68|Periferica non disponibile|BorvanIF", .differita = true},
      {.esito = eccezione,
       .atteso = "440|Errore di automazione (0x80004005)|Ecr",
       .scode = E_FAIL,
       .sorgente = L"Ecr"},
      {DISP_E_MEMBERNOTFOUND, "438|Proprieta' o metodo non supportati dall'oggetto|BorvanIF"},
      {static_cast<HRESULT>(0x800A0044),
       "68|Errore definito dall'applicazione o dall'oggetto|BorvanIF"},
      {E_FAIL, "440|Errore di automazione (0x80004005)|BorvanIF"},
  };
  for (const Caso& caso : casi) {
    installato.controllo.risposta = [&](DISPID, DISPPARAMS&, VARIANT* r, EXCEPINFO* e) {
      if (caso.esito == S_OK) {
        r->vt = caso.testo != nullptr ? VT_BSTR : VT_R8;
        if (caso.testo != nullptr)
          r->bstrVal = SysAllocString(caso.testo);
        else
          r->dblVal = caso.numero;
      }
      if (caso.esito != eccezione) return caso.esito;
      e->scode = caso.scode;
      e->wCode = caso.codice;
      e->bstrDescription = caso.descrizione ? SysAllocString(caso.descrizione) : nullptr;
      e->bstrSource = caso.sorgente ? SysAllocString(caso.sorgente) : nullptr;
      if (caso.differita) e->pfnDeferredFillIn = riempi_dopo;
      return caso.esito;
    };
    std::string esito;
    const std::string errore = errore_di([&] { esito = std::to_string(driver->stato()); });
    EXPECT_EQ(errore == "nessuno" ? esito : errore, caso.atteso);
  }
  // Every member fails the same way, the property put included.
  installato.controllo.risposta = [](DISPID, DISPPARAMS&, VARIANT*, EXCEPINFO*) { return E_FAIL; };
  for (const auto& membro : ogni_membro(*driver)) EXPECT_EQ(errore_di(membro).substr(0, 4), "440|");
}

// Hosted as a form hosts it, activated in place in the hidden window unless invisible at run
// time, closed, unsited and released at the end; a control that changes the floating-point
// control words and the crash filter leaves the program's own in force throughout.
TEST(DriverCom, OspitatoComeInUnFormLasciandoLoStatoDelProcesso) {
  struct Caso {
    const char* nome;
    std::optional<DWORD> stato_misc;
    std::vector<std::string> creazione, fine;
  };
  const std::vector<std::string> fine_ole = {"Close", "SetClientSite(nullptr)", "Release",
                                             "Release"};
  const Caso casi[] = {{"plain automation object", std::nullopt, {"InitNew"}, {"Release"}},
                       {"site first, invisible at run time",
                        OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME,
                        {"SetClientSite", "InitNew"},
                        fine_ole},
                       {"site after InitNew, visible at run time",
                        0,
                        {"InitNew", "SetClientSite", "DoVerb"},
                        fine_ole}};
  const test::StatoProcesso prima = test::stato_processo();
  imposta_filtro_arresto(filtro_del_programma);
  const test::StatoProcesso proprio = test::stato_processo();
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    Installato installato;
    ControlloFinto& controllo = installato.controllo;
    controllo.stato_misc = caso.stato_misc;
    controllo.guasta_processo = true;
    auto driver = installato.crea();
    EXPECT_EQ(controllo.eventi, caso.creazione);
    EXPECT_TRUE(controllo.chiamate.empty());  // none before InitNew, nor while it is hosted
    EXPECT_EQ(test::stato_processo(), proprio);
    for (const auto& membro : ogni_membro(*driver)) {
      EXPECT_EQ(errore_di(membro), "nessuno");
      EXPECT_EQ(test::stato_processo(), proprio);
    }
    // Its window, if any, lives in the hidden one and so never shows.
    const bool visibile = std::count(caso.creazione.begin(), caso.creazione.end(), "DoVerb") > 0;
    EXPECT_EQ(controllo.finestra != nullptr, visibile);
    if (visibile) {
      EXPECT_EQ(GetParent(controllo.finestra), installato.contenitore);
      EXPECT_FALSE(IsWindowVisible(controllo.finestra));
    }
    controllo.eventi.clear();
    controllo.conta_rilasci = true;
    driver.reset();
    controllo.conta_rilasci = false;
    EXPECT_EQ(controllo.eventi, caso.fine);
    EXPECT_EQ(controllo.riferimenti(), installato.riferimenti_iniziali);
    EXPECT_EQ(test::stato_processo(), proprio);
  }
  imposta_filtro_arresto(prima.filtro);
  test::imposta_processo(prima);
}

// Missing or unlicensed, every job fails saying why; the control is used once it can be created,
// and let go whole.
TEST(DriverCom, CreazioneRitentataAOgniLavoro) {
  OleInitialize(nullptr);
  DriverRiprova driver([] { return DriverCom::crea(progid_finto); });
  EXPECT_EQ(driver.motivo_assenza(),
            "Driver del registratore non installato (BorvanTest.ControlloFinto)");
  Installato installato;
  installato.controllo.esito_creazione = CLASS_E_NOTLICENSED;
  std::string richiesta = "PORT = 1";
  EXPECT_NE(errore_di([&] { driver.apri(richiesta); }), "nessuno");
  installato.controllo.esito_creazione = S_OK;
  EXPECT_EQ(driver.motivo_assenza(), "");
  EXPECT_EQ(driver.apri(richiesta), 0);
  driver.rilascia();
  EXPECT_EQ(installato.controllo.riferimenti(), installato.riferimenti_iniziali);
  OleUninitialize();
}

}  // namespace
}  // namespace borvan

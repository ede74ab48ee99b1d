#include "automazione/driver_com.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "automazione/controllo_finto.h"
#include "automazione/errori_com.h"
#include "automazione/filtro_arresto.h"
#include "automazione/testo_com.h"
#include "ecr/driver_assente.h"
#include "support/errore_runtime.h"
#include "support/numeri.h"

namespace borvan {
namespace {

using test::ChiamataRicevuta;
using test::ControlloFinto;
using test::errore_di;
using test::tutti_i_byte;

LONG WINAPI filtro_del_programma(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

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
  // As late binding calls a member whose result is used: a property get answers too.
  constexpr WORD chiamata = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  const std::vector<ChiamataRicevuta> attese = {
      {membro_proprieta_9, DISPATCH_PROPERTYPUT, {VT_I2}, {}, {DISPID_PROPERTYPUT}, false},
      {membro_apri, chiamata, {per_riferimento}, {L"PORT = 1"}, {}, true},
      {membro_stato, chiamata, {}, {}, {}, true},
      {membro_invia, chiamata, {per_riferimento, per_riferimento}, {L"VEND 1,00", L""}, {}, true},
      {membro_chiudi, chiamata, {}, {}, {}, true}};
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

// The double registered under a ProgID of its own for the scope, as an installed control is,
// and a hidden child of a window for it to live in, as the main window gives it.
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
    riferimenti_iniziali = controllo.riferimenti;
  }
  ~Installato() {
    CoRevokeClassObject(registrazione);
    OleUninitialize();
    RegDeleteTreeA(HKEY_CLASSES_ROOT, progid_finto);
    DestroyWindow(finestra);
  }
  std::unique_ptr<DriverCom> crea() { return DriverCom::crea(progid_finto, contenitore); }
};

// Hosted as a form hosts it: the site before InitNew when the control asks for it, after it
// otherwise; activated in place, inside the hidden window, unless invisible at run time; at
// the end closed, told its site is gone and released, in that order. A control that demands
// its site first answers only so.
TEST(DriverCom, OspitatoComeInUnForm) {
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
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    Installato installato;
    ControlloFinto& controllo = installato.controllo;
    controllo.stato_misc = caso.stato_misc;
    controllo.esige_sito = caso.stato_misc.value_or(0) & OLEMISC_SETCLIENTSITEFIRST;
    auto driver = installato.crea();
    EXPECT_EQ(controllo.eventi, caso.creazione);
    EXPECT_EQ(errore_di([&] { EXPECT_EQ(driver->stato(), 0); }), "nessuno");
    EXPECT_FALSE(controllo.chiamato_prima_di_init_new);
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
    EXPECT_EQ(controllo.riferimenti, installato.riferimenti_iniziali);
  }

  // The site not first: a control that demands it refuses every call.
  Installato installato;
  installato.controllo.stato_misc = OLEMISC_INVISIBLEATRUNTIME;
  installato.controllo.esige_sito = true;
  EXPECT_EQ(errore_di([&] { installato.crea()->stato(); }),
            "398|Client site not available|BorvanIF");
}

// What a control reads through its site: what a form answers at run time.
TEST(DriverCom, ProprietaAmbienteDelSito) {
  Installato installato;
  installato.controllo.stato_misc = OLEMISC_SETCLIENTSITEFIRST;
  const auto driver = installato.crea();
  const std::tuple<DISPID, std::string> casi[] = {
      {DISPID_AMBIENT_USERMODE, "vero"},
      {DISPID_AMBIENT_UIDEAD, "falso"},
      {DISPID_AMBIENT_MESSAGEREFLECT, "falso"},
      {DISPID_AMBIENT_SHOWHATCHING, "falso"},
      {DISPID_AMBIENT_SHOWGRABHANDLES, "falso"},
      {DISPID_AMBIENT_LOCALEID, std::to_string(GetUserDefaultLCID())},
      {DISPID_AMBIENT_DISPLAYNAME, "CoEcrCom1"},
      {DISPID_AMBIENT_BACKCOLOR, "nessuna"}};  // the control keeps its own default
  for (const auto& [proprieta, attesa] : casi) {
    std::optional<VARIANT> valore = installato.controllo.ambiente(proprieta);
    std::string testo = "nessuna";
    if (valore && valore->vt == VT_BOOL) testo = valore->boolVal == VARIANT_TRUE ? "vero" : "falso";
    if (valore && valore->vt == VT_I4) testo = std::to_string(valore->lVal);
    if (valore && valore->vt == VT_BSTR) testo = ansi_da_bstr(valore->bstrVal);
    if (valore) VariantClear(&*valore);
    EXPECT_EQ(testo, attesa) << proprieta;
  }
}

// A control that changes the floating-point control word and the crash filter, as one built
// with another runtime does, leaves the program's own in force after its creation and after
// every call: the program's arithmetic does not start trapping, and a crash is still reported.
TEST(DriverCom, LoStatoDelProcessoTornaDopoOgniChiamata) {
  const test::StatoProcesso prima = test::stato_processo();
  imposta_filtro_arresto(filtro_del_programma);
  const test::StatoProcesso iniziale = test::stato_processo();
  Installato installato;
  installato.controllo.stato_misc = OLEMISC_SETCLIENTSITEFIRST;
  installato.controllo.guasta_processo = true;
  auto driver = installato.crea();
  EXPECT_EQ(test::stato_processo(), iniziale);
  std::string richiesta = "PORT = 1", riga = "A", risposta;
  const std::function<void()> membri[] = {
      [&] { driver->imposta_proprieta_9(0); }, [&] { driver->apri(richiesta); },
      [&] { driver->stato(); }, [&] { driver->invia(riga, risposta); }, [&] { driver->chiudi(); }};
  for (const auto& membro : membri) {
    membro();
    EXPECT_EQ(test::stato_processo(), iniziale);
  }
  // A whole number too large for a double: with overflow unmasked this would trap.
  EXPECT_EQ(errore_di([] { leggi_numero("&H" + std::string(300, 'F')); }), "6|Overflow|BorvanIF");
  driver.reset();
  EXPECT_EQ(test::stato_processo(), iniziale);
  imposta_filtro_arresto(prima.filtro);
  test::imposta_processo(prima);
}

// Missing, or refused for want of a licence: every job says which, and the control is used as
// soon as it can be created, without a restart.
TEST(DriverCom, CreazioneRitentataAOgniLavoro) {
  DriverRiprova driver([] { return DriverCom::crea(progid_finto); });
  EXPECT_EQ(driver.motivo_assenza(),
            "Driver del registratore non installato (BorvanTest.ControlloFinto)");
  Installato installato;
  installato.controllo.esito_creazione = CLASS_E_NOTLICENSED;
  EXPECT_EQ(driver.motivo_assenza(),
            "Driver del registratore senza licenza su questo computer "
            "(BorvanTest.ControlloFinto)");
  std::string richiesta = "PORT = 1";
  EXPECT_NE(errore_di([&] { driver.apri(richiesta); }), "nessuno");
  installato.controllo.esito_creazione = S_OK;
  EXPECT_EQ(driver.motivo_assenza(), "");
  EXPECT_EQ(driver.apri(richiesta), 0);
  driver.rilascia();
  EXPECT_EQ(installato.controllo.riferimenti, installato.riferimenti_iniziali);
}

}  // namespace
}  // namespace borvan

#include "config/configurazione.h"

#include <vector>

#include "support/file.h"
#include "support/nome_programma.h"
#include "support/numeri.h"
#include "support/operatore.h"
#include "support/percorsi.h"
#include "support/testo.h"
#include "support/trappola.h"

namespace borvan {

namespace {

using C = Configurazione;

// Each key once: the reader, the defaults and the configuration dialog all go by this table.
const Impostazione tabella[] = {
    {.chiave = "WINECRCOM_PORT", .predefinito = "1", .campo = &C::porta_ecr, .minimo = 0},
    {.chiave = "INPUT_FILE",
     .predefinito = "Scontr.ECR",
     .campo = &C::file_input,
     .con_messaggio = true},
    {.chiave = "POLLING_TIME",
     .predefinito = "500",
     .campo = &C::tempo_polling,
     .minimo = 10,
     .massimo = 60000,
     .con_messaggio = true},
    {.chiave = "TIMEOUT",
     .predefinito = "20",
     .campo = &C::tempo_timeout,
     .minimo = 0,
     .minimo_compreso = true,
     .massimo = 60,
     .con_messaggio = true},
    {.chiave = "RESULT_FILE",
     .predefinito = "Result.TXT",
     .campo = &C::file_result,
     .con_messaggio = true},
    {.chiave = "SHOW_ERRORS", .predefinito = "0", .campo = &C::mostra_errori},
    {.chiave = "LOG_FILE",
     .predefinito = con_nome_programma<".LOG">,
     .campo = &C::file_log,
     .vuoto_ammesso = true},
};

// A bare name lives in the application directory, and a relative path starts there, whatever
// the process's current folder (a file chooser, a register's driver may move it).
std::string percorso_risolto(const std::string& valore, const std::string& cartella_eseguibile) {
  const std::string applicazione = cartella_applicazione(cartella_eseguibile);
  if (estrai_cartella(valore).empty()) return separatori_nativi(applicazione + valore);
  return separatori_nativi(risolvi_percorso(valore, applicazione));
}

// Sets the value from the text of a setting; false when the table refuses it. `numero_di`
// reads a number (the file's are reported when they overflow, the defaults never do).
template <class LeggiNumero>
bool assegna(Configurazione& valori, const Impostazione& impostazione, const std::string& valore,
             const std::string& cartella_eseguibile, LeggiNumero numero_di) {
  if (const auto* intero_in = std::get_if<int32_t C::*>(&impostazione.campo)) {
    const double numero = numero_di(valore);
    const bool sopra = numero > impostazione.minimo ||
                       (impostazione.minimo_compreso && numero == impostazione.minimo);
    if (!sopra || !(numero < impostazione.massimo)) return false;
    const auto intero = intero_se_entra(numero);
    if (!intero) return false;
    valori.*(*intero_in) = *intero;
  } else if (const auto* testo_in = std::get_if<std::string C::*>(&impostazione.campo)) {
    if (valore.empty() && !impostazione.vuoto_ammesso) return false;
    valori.*(*testo_in) = valore.empty() ? "" : percorso_risolto(valore, cartella_eseguibile);
  } else {
    valori.*std::get<bool C::*>(impostazione.campo) = numero_di(valore) == 1;
  }
  return true;
}

}  // namespace

std::span<const Impostazione> impostazioni_config() {
  return tabella;
}

const Impostazione* trova_impostazione(std::string_view chiave) {
  for (const Impostazione& impostazione : tabella)
    if (chiave == impostazione.chiave) return &impostazione;
  return nullptr;
}

std::string cartella_applicazione(const std::string& cartella_eseguibile) {
  return normalizza_percorso(cartella_eseguibile);
}

std::string percorso_config(const std::string& cartella_eseguibile) {
  return cartella_applicazione(cartella_eseguibile) + nome_file_config;
}

Configurazione configurazione_predefinita(const std::string& cartella_eseguibile) {
  Configurazione valori;
  for (const Impostazione& impostazione : tabella)
    assegna(valori, impostazione, impostazione.predefinito, cartella_eseguibile, leggi_numero);
  return valori;
}

bool applica_configurazione(Configurazione& valori, const std::string& testo,
                            const std::string& cartella_eseguibile, Operatore& operatore,
                            GestoreErrori& errori) {
  const auto numero_di = [&errori](const std::string& valore) {
    return converti_numero(valore, errori);
  };
  Trappola passo{errori};
  for (const std::string& riga : dividi_righe(testo)) {
    const bool completata = passo([&] {
      const auto coppia = dividi_chiave_valore(riga);
      if (!coppia) return;
      const Impostazione* impostazione = trova_impostazione(coppia->chiave);
      if (impostazione == nullptr) return;
      if (!assegna(valori, *impostazione, coppia->valore, cartella_eseguibile, numero_di) &&
          impostazione->con_messaggio)
        operatore.messaggio("Valore non valido per il parametro " + coppia->chiave, Icona::nessuna);
    });
    if (!completata) return false;
  }
  return true;
}

bool leggi_configurazione(Configurazione& valori, const std::string& cartella_eseguibile,
                          Operatore& operatore, GestoreErrori& errori) {
  Trappola passo{errori};

  // Defaults on every call: a key removed from the file falls back at the next reading.
  if (!passo([&] { valori = configurazione_predefinita(cartella_eseguibile); })) return false;

  std::string percorso;
  bool esiste = false;
  if (!passo([&] {
        percorso = percorso_config(cartella_eseguibile);
        esiste = file_esiste(percorso);
      }))
    return false;
  if (!esiste) return true;

  std::string testo;
  if (!passo([&] { testo = leggi_file(percorso); })) return false;
  return applica_configurazione(valori, testo, cartella_eseguibile, operatore, errori);
}

}  // namespace borvan

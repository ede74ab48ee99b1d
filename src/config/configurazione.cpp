#include "config/configurazione.h"

#include <vector>

#include "support/errore_runtime.h"
#include "support/file.h"
#include "support/numeri.h"
#include "support/operatore.h"
#include "support/percorsi.h"
#include "support/testo.h"
#include "support/trappola.h"

namespace borvan {

namespace {

// A bare name lives in the application directory; anything with a folder stays as written.
std::string percorso_risolto(const std::string& valore, const std::string& cartella_eseguibile) {
  if (estrai_cartella(valore).empty())
    return separatori_nativi(cartella_applicazione(cartella_eseguibile) + valore);
  return separatori_nativi(valore);
}

// A port that does not fit the driver's integer is as unusable as a negative one.
std::optional<int32_t> intero_se_entra(double numero) {
  try {
    return arrotonda_intero(numero);
  } catch (const ErroreRuntime&) {
    return std::nullopt;
  }
}

class Lettore {
 public:
  Lettore(Configurazione& valori, const std::string& cartella_eseguibile, Operatore& operatore,
          GestoreErrori& errori)
      : valori_(valori),
        cartella_eseguibile_(cartella_eseguibile),
        operatore_(operatore),
        errori_(errori) {}

  void applica(const std::string& riga) {
    const auto coppia = dividi_chiave_valore(riga);
    if (!coppia) return;
    const std::string& chiave = coppia->chiave;
    const std::string& valore = coppia->valore;

    if (chiave == "WINECRCOM_PORT") {
      const double numero = numero_di(valore);
      if (numero > 0) {
        if (const auto porta = intero_se_entra(numero)) valori_.porta_ecr = *porta;
      }
    } else if (chiave == "INPUT_FILE") {
      percorso_obbligatorio(chiave, valore, valori_.file_input);
    } else if (chiave == "POLLING_TIME") {
      const double numero = numero_di(valore);
      if (numero > 10 && numero < 60000) {
        valori_.tempo_polling = arrotonda_intero(numero);
      } else {
        rifiuta(chiave);
      }
    } else if (chiave == "TIMEOUT") {
      const double numero = numero_di(valore);
      if (numero >= 0 && numero < 60) {
        valori_.tempo_timeout = arrotonda_intero(numero);
      } else {
        rifiuta(chiave);
      }
    } else if (chiave == "RESULT_FILE") {
      percorso_obbligatorio(chiave, valore, valori_.file_result);
    } else if (chiave == "SHOW_ERRORS") {
      valori_.mostra_errori = numero_di(valore) == 1;
    } else if (chiave == "LOG_FILE") {
      // Empty switches the log off.
      valori_.file_log = valore.empty() ? "" : percorso_risolto(valore, cartella_eseguibile_);
    }
  }

 private:
  double numero_di(const std::string& valore) { return converti_numero(valore, errori_); }

  void percorso_obbligatorio(const std::string& chiave, const std::string& valore,
                             std::string& destinazione) {
    if (valore.empty()) {
      rifiuta(chiave);
      return;
    }
    destinazione = percorso_risolto(valore, cartella_eseguibile_);
  }

  void rifiuta(const std::string& chiave) {
    operatore_.messaggio("Valore non valido per il parametro " + chiave, Icona::nessuna);
  }

  Configurazione& valori_;
  const std::string& cartella_eseguibile_;
  Operatore& operatore_;
  GestoreErrori& errori_;
};

}  // namespace

std::string cartella_applicazione(const std::string& cartella_eseguibile) {
  return normalizza_percorso(cartella_eseguibile);
}

std::string percorso_config(const std::string& cartella_eseguibile) {
  return cartella_applicazione(cartella_eseguibile) + nome_file_config;
}

Configurazione configurazione_predefinita(const std::string& cartella_eseguibile) {
  const std::string cartella = cartella_applicazione(cartella_eseguibile);
  Configurazione valori;
  valori.porta_ecr = 1;
  valori.file_input = cartella + "Scontr.ECR";
  valori.tempo_polling = 500;
  valori.tempo_timeout = 20;
  valori.file_result = cartella + "Result.TXT";
  valori.mostra_errori = false;
  valori.file_log = cartella + "BorvanIF.LOG";
  return valori;
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

  std::vector<std::string> righe;
  if (!passo([&] { righe = dividi_righe(leggi_file(percorso)); })) return false;

  Lettore lettore(valori, cartella_eseguibile, operatore, errori);
  for (const std::string& riga : righe) {
    if (!passo([&] { lettore.applica(riga); })) return false;
  }
  return true;
}

}  // namespace borvan

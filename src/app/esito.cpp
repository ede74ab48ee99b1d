#include "app/esito.h"

#include "support/file.h"
#include "support/testo.h"

namespace borvan {

namespace {

// Zero-padded to `cifre` digits; the fields of a date and a time are never negative.
std::string con_zeri(int valore, std::size_t cifre) {
  std::string testo = std::to_string(valore);
  if (testo.size() < cifre) testo.insert(0, cifre - testo.size(), '0');
  return testo;
}

}  // namespace

std::string messaggio_esito(int32_t codice) {
  switch (codice) {
    case codice_esito::successo:
      return "Stampa completata correttamente";
    case codice_esito::errore_apertura:
      return "Errore durante l'inizializzazione della comunicazione con la cassa.";
    case codice_esito::timeout:
      return "Timeout stampa";
    case codice_esito::interrotto:
      return "Stampa interrotta dall'utente";
    case codice_esito::non_completata:
      return "Stampa non completata";
    default:
      return "Errore di comunicazione con la cassa. Cod." + std::to_string(codice);
  }
}

std::string messaggio_composto(int32_t codice, const std::string& descrizione) {
  if (descrizione.empty()) return messaggio_esito(codice);
  return trim_spazi(messaggio_esito(codice) + "-" + descrizione);
}

std::string righe_accettate(int32_t accettate, int32_t righe) {
  return "righe accettate dalla cassa: " + std::to_string(accettate) + " di " +
         std::to_string(righe);
}

std::string testo_result(int32_t codice, const std::string& messaggio) {
  return std::to_string(codice) + fine_riga + messaggio + fine_riga;
}

namespace {

std::string riga(const DataOra& quando, const std::string& codice, const std::string& testo) {
  // Month first and a four-digit year, whatever the regional settings: the log is read by
  // people and programs that expect this one form.
  const std::string data =
      con_zeri(quando.mese, 2) + "-" + con_zeri(quando.giorno, 2) + "-" + con_zeri(quando.anno, 4);
  const std::string ora = con_zeri(quando.ora, 2) + ":" + con_zeri(quando.minuto, 2) + ":" +
                          con_zeri(quando.secondo, 2);
  return data + "\t" + ora + "\t" + codice + "\t" + testo + fine_riga;
}

}  // namespace

std::string riga_log(const DataOra& quando, int32_t codice, const std::string& messaggio) {
  return riga(quando, std::to_string(codice), messaggio);
}

std::string riga_nota(const DataOra& quando, const std::string& nota) {
  return riga(quando, "", nota);
}

}  // namespace borvan

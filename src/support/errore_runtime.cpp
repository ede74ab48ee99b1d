#include "support/errore_runtime.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

namespace borvan {

int32_t numero_da_codice(const std::error_code& codice) {
  if (codice == std::errc::no_such_file_or_directory) return codice_errore::file_non_trovato;
  if (codice == std::errc::permission_denied || codice == std::errc::operation_not_permitted ||
      codice == std::errc::read_only_file_system)
    return codice_errore::permesso_negato;
  if (codice == std::errc::no_space_on_device || codice == std::errc::file_too_large)
    return codice_errore::disco_pieno;
  if (codice == std::errc::filename_too_long || codice == std::errc::invalid_argument)
    return codice_errore::nome_file_non_valido;
  if (codice == std::errc::is_a_directory || codice == std::errc::not_a_directory ||
      codice == std::errc::device_or_resource_busy || codice == std::errc::text_file_busy)
    return codice_errore::accesso_percorso;
  return codice_errore::errore_io;
}

ErroreRuntime::ErroreRuntime(int32_t numero, std::string descrizione, std::string sorgente)
    : std::runtime_error(descrizione.empty() ? descrizione_errore(numero) : descrizione),
      numero_(numero),
      descrizione_(descrizione.empty() ? descrizione_errore(numero) : std::move(descrizione)),
      sorgente_(std::move(sorgente)) {}

std::string descrizione_errore(int32_t numero) {
  switch (numero) {
    case codice_errore::chiamata_non_valida:
      return "Chiamata di routine o argomento non validi";
    case codice_errore::overflow:
      return "Overflow";
    case codice_errore::memoria_esaurita:
      return "Memoria esaurita";
    case codice_errore::tipo_non_corrispondente:
      return "Tipo non corrispondente";
    case codice_errore::nome_file_non_valido:
      return "Nome o numero di file non valido";
    case codice_errore::file_non_trovato:
      return "Impossibile trovare il file";
    case codice_errore::errore_io:
      return "Errore di I/O sulla periferica";
    case codice_errore::disco_pieno:
      return "Disco pieno";
    case codice_errore::permesso_negato:
      return "Permesso negato";
    case codice_errore::accesso_percorso:
      return "Errore di accesso al percorso/file";
    case codice_errore::percorso_non_trovato:
      return "Impossibile trovare il percorso";
    case codice_errore::valore_proprieta_non_valido:
      return "Valore della proprieta' non valido";
    case codice_errore::impossibile_creare_oggetto:
      return "Impossibile creare l'oggetto ActiveX";
    case codice_errore::metodo_non_supportato:
      return "Proprieta' o metodo non supportati dall'oggetto";
    case codice_errore::errore_automazione:
      return "Errore di automazione";
    case codice_errore::argomento_obbligatorio:
      return "Argomento non facoltativo";
    case codice_errore::numero_argomenti_errato:
      return "Numero di argomenti errato o assegnazione di proprieta' non valida";
    default:
      return "Errore definito dall'applicazione o dall'oggetto";
  }
}

ErroreRuntime errore_corrente() {
  try {
    throw;
  } catch (const ErroreRuntime& e) {
    return e;
  } catch (const std::filesystem::filesystem_error& e) {
    return ErroreRuntime(numero_da_codice(e.code()));
  } catch (const std::system_error& e) {
    return ErroreRuntime(numero_da_codice(e.code()));
  } catch (const std::bad_alloc&) {
    return ErroreRuntime(codice_errore::memoria_esaurita);
  } catch (const std::exception& e) {
    return ErroreRuntime(codice_errore::chiamata_non_valida, e.what());
  } catch (...) {
    return ErroreRuntime(codice_errore::chiamata_non_valida);
  }
}

}  // namespace borvan

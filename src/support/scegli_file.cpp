#include "support/scegli_file.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "support/errore_runtime.h"
#include "support/operatore.h"
#include "support/trappola.h"

namespace borvan {

std::string filtro_per_finestra(std::string_view filtro) {
  // The list is walked with a 16-bit position counted one past its last character.
  if (filtro.size() >= static_cast<size_t>(std::numeric_limits<int16_t>::max()))
    throw ErroreRuntime(codice_errore::overflow);
  std::string convertito;
  convertito.reserve(filtro.size() + 2);
  for (char c : filtro) convertito.push_back(c == '|' || c == ':' ? '\0' : c);
  convertito.append(2, '\0');
  return convertito;
}

std::string buffer_nome_file(std::string_view nome_proposto) {
  if (nome_proposto.size() > lunghezza_buffer_file)
    throw ErroreRuntime(codice_errore::chiamata_non_valida);
  std::string buffer(nome_proposto);
  buffer.resize(lunghezza_buffer_file, '\0');
  return buffer;
}

std::string stringa_da_buffer(std::string_view buffer) {
  return std::string(buffer.substr(0, buffer.find('\0')));
}

bool finestra_salva_file(std::string& nome_file, const std::string& filtro,
                         const std::string& cartella_iniziale, const std::string& titolo,
                         bool con_proprietario, Operatore& operatore, GestoreErrori& errori) {
  Trappola passo{errori};
  RichiestaSalvaFile richiesta;
  if (!passo([&] { richiesta.filtro = filtro_per_finestra(filtro); })) return false;
  if (!passo([&] { richiesta.buffer_nome = buffer_nome_file(nome_file); })) return false;
  richiesta.titolo = titolo;
  richiesta.indice_filtro = 1;
  richiesta.cartella_iniziale = cartella_iniziale;
  richiesta.con_proprietario = con_proprietario;

  std::optional<std::string> scelto;
  if (!passo([&] { scelto = operatore.salva_file(richiesta); })) return false;
  if (!scelto) {
    nome_file.clear();
    return false;
  }
  nome_file = stringa_da_buffer(*scelto);
  return true;
}

std::string scegli_file(std::string titolo, std::string filtro, std::string cartella_iniziale,
                        std::string nome_proposto, Operatore& operatore, GestoreErrori& errori) {
  std::string percorso = nome_proposto;
  bool confermato = false;
  // The chooser stands over whichever window is active; with none it has no owner.
  salta_errori([&] {
    confermato =
        finestra_salva_file(percorso, filtro, cartella_iniziale, titolo, true, operatore, errori);
  });
  return confermato ? percorso : std::string();
}

}  // namespace borvan

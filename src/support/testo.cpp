#include "support/testo.h"

namespace borvan {

std::string trim_spazi(std::string_view testo) {
  const auto inizio = testo.find_first_not_of(' ');
  if (inizio == std::string_view::npos) return {};
  const auto fine = testo.find_last_not_of(' ');
  return std::string(testo.substr(inizio, fine - inizio + 1));
}

std::string maiuscolo(std::string_view testo) {
  std::string risultato(testo);
  for (char& c : risultato)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return risultato;
}

std::optional<ChiaveValore> dividi_chiave_valore(std::string_view riga) {
  const std::string pulita = trim_spazi(riga);
  const auto uguale = pulita.find('=');
  if (uguale == std::string::npos || uguale == 0) return std::nullopt;
  return ChiaveValore{maiuscolo(trim_spazi(std::string_view(pulita).substr(0, uguale))),
                      trim_spazi(std::string_view(pulita).substr(uguale + 1))};
}

}  // namespace borvan

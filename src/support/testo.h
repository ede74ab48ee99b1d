#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace borvan {

// Leading and trailing space characters removed (spaces only: tabs stay).
std::string trim_spazi(std::string_view testo);
// Upper case of the ASCII letters; other bytes stay as they are.
std::string maiuscolo(std::string_view testo);

// One KEY=VALUE line of a settings file: the line trimmed of spaces, the key the text before
// the first "=" (upper-cased, trimmed), the value all the rest (trimmed). Nothing when the
// line holds no "=" or begins with it.
struct ChiaveValore {
  std::string chiave;
  std::string valore;
};
std::optional<ChiaveValore> dividi_chiave_valore(std::string_view riga);

}  // namespace borvan

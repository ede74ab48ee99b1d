#pragma once

// The save-file chooser as the program asks for it: the filter list and the name buffer are
// prepared the one way the system chooser takes them, whatever chooser the binding shows.

#include <cstddef>
#include <string>
#include <string_view>

namespace borvan {

class GestoreErrori;
class Operatore;

// Size of the chooser's name and title buffers, in characters.
inline constexpr size_t lunghezza_buffer_file = 260;

// "Description|pattern|..." with every "|" and ":" turned into a NUL and two NULs appended.
// The list's length is a 16-bit count: 32,767 characters or more is an overflow (error 6).
std::string filtro_per_finestra(std::string_view filtro);

// The proposed name padded with NULs to exactly 260 characters; a longer name is an invalid
// procedure call (error 5).
std::string buffer_nome_file(std::string_view nome_proposto);
// The text before the buffer's first NUL; the whole buffer when it holds none.
std::string stringa_da_buffer(std::string_view buffer);

// Shows the chooser, over the active window when `con_proprietario` (with none when no window
// is active). True when the user confirmed a name: `nome_file` then holds the chosen full
// path. False on cancel (`nome_file` emptied) or when the operator gave up on an error
// (`nome_file` as it stood).
bool finestra_salva_file(std::string& nome_file, const std::string& filtro,
                         const std::string& cartella_iniziale, const std::string& titolo,
                         bool con_proprietario, Operatore& operatore, GestoreErrori& errori);

// The chosen full path, or "" when the user cancelled or the chooser could not be shown.
std::string scegli_file(std::string titolo, std::string filtro, std::string cartella_iniziale,
                        std::string nome_proposto, Operatore& operatore, GestoreErrori& errori);

}  // namespace borvan

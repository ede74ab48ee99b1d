#pragma once

#include <string>

namespace borvan {

// Windows paths: "\" separates and "/" counts as one on input; a drive ends at its ":".
// POSIX paths: "/" separates, "\" on input counts as one and becomes "/", ":" is a character.
enum class StilePercorso { windows, posix };

#ifdef _WIN32
inline constexpr StilePercorso stile_nativo = StilePercorso::windows;
#else
inline constexpr StilePercorso stile_nativo = StilePercorso::posix;
#endif

// The folder part of a path, without its trailing separator ("" for a bare name).
std::string estrai_cartella(const std::string& percorso, StilePercorso stile = stile_nativo);

// A file's path as its folder, in a form the system opens (the root for a file at the root,
// "." for a bare name), and its name: what watching the folder for that file needs.
struct CartellaENome {
  std::string cartella;
  std::string nome;
  bool operator==(const CartellaENome&) const = default;
};
CartellaENome dividi_percorso(const std::string& percorso, StilePercorso stile = stile_nativo);

// A folder ready to have a file name appended: trimmed, native separators, one trailing one.
std::string normalizza_percorso(const std::string& percorso, StilePercorso stile = stile_nativo);

// Where a path leads whatever the process's current folder: a relative path starts at
// `cartella` (a folder with its trailing separator); on Windows a path from the root
// ("\dati\x.txt") starts at the root of that folder's drive or share. Absolute paths, and on
// Windows drive-relative ones ("C:x.txt"), stay as written.
std::string risolvi_percorso(const std::string& percorso, const std::string& cartella,
                             StilePercorso stile = stile_nativo);

// The path with its separators written the native way ("\" becomes "/" on POSIX).
std::string separatori_nativi(const std::string& percorso, StilePercorso stile = stile_nativo);

}  // namespace borvan

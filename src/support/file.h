#pragma once

// The program's file routines. Files are 8-bit text with CR LF line ends, the same on every
// platform: the point-of-sale programs that read and write them may sit on another machine.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace borvan {

inline constexpr const char* fine_riga = "\r\n";

// True when the trimmed path names an existing file (not a folder). Never fails.
bool file_esiste(const std::string& percorso);

// Deletes a file, read-only ones included; every failure passes silently. Never a folder.
void cancella_file(const std::string& percorso) noexcept;

// The whole file, byte for byte. Throws ErroreRuntime (53 missing, 75 a folder, 57 ...).
std::string leggi_file(const std::string& percorso);

// The lines of a text: CR LF or a lone CR ends a line, a lone LF stays inside it; a last
// line without a line end counts, a final line end adds no empty line.
std::vector<std::string> dividi_righe(const std::string& contenuto);

// Creates or empties the file and writes the text. Throws ErroreRuntime.
void scrivi_file(const std::string& percorso, const std::string& contenuto);

// Appends the text, creating the file when it is missing. Throws ErroreRuntime.
void aggiungi_a_file(const std::string& percorso, const std::string& contenuto);

// What tells one version of a file from another without reading it.
struct FirmaFile {
  uintmax_t dimensione = 0;
  int64_t modificato = 0;  // last write time, in the file system's own ticks
  bool operator==(const FirmaFile&) const = default;
};
std::optional<FirmaFile> firma_file(const std::string& percorso);

}  // namespace borvan

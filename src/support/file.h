#pragma once

// The program's file routines. Files are 8-bit text with CR LF line ends, the same on every
// platform: the point-of-sale programs that read and write them may sit on another machine.
// Only a regular file counts as a file: a folder, a FIFO or a device at the path is none.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/sistema.h"

namespace borvan {

inline constexpr const char* fine_riga = "\r\n";

// True when the trimmed path names an existing regular file. Never fails.
bool file_esiste(const std::string& percorso);

// Deletes a file, read-only ones included; every failure passes silently. Never a folder.
void cancella_file(const std::string& percorso) noexcept;

// A fingerprint of a file's content (never 0, which stands for a content not read).
uint64_t impronta_di(std::string_view contenuto);

// Whether the file found is the one the identity `atteso` was taken from. Another file differs
// in something both tell (volume, size, times, content read); a file equal in all of it is that
// one only when the file system gives it the same ID. Equal but for the ID, or without one, it
// may be that one or its exact copy: `forse`.
enum class Confronto { altro, forse, stesso };
Confronto confronta(const IdentitaFile& trovato, const IdentitaFile& atteso);

// The whole file, byte for byte. Throws ErroreRuntime (53 missing, 75 not a file, 57 ...).
std::string leggi_file(const std::string& percorso);

// The lines of a text: CR LF or a lone CR ends a line, a lone LF stays inside it; a last
// line without a line end counts, a final line end adds no empty line.
std::vector<std::string> dividi_righe(const std::string& contenuto);

// Replaces the file with the text, whole or not at all: the text goes into a new file beside
// it, on the disk before it takes the old one's place. On failure the old file stays as it
// was. Throws ErroreRuntime.
void scrivi_file(const std::string& percorso, const std::string& contenuto);

// As scrivi_file, for a file whose old content must never be read again (an outcome): should
// the old file refuse to be replaced (another program holds it open), the text is written into
// it in place. Throws ErroreRuntime when neither could be done.
void riscrivi_file(const std::string& percorso, const std::string& contenuto);

// Appends the text, creating the file when it is missing. Throws ErroreRuntime.
void aggiungi_a_file(const std::string& percorso, const std::string& contenuto);

}  // namespace borvan

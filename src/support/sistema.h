#pragma once

// What only the operating system can answer about files. One implementation per platform
// (sistema_posix.cpp, sistema_windows.cpp); unless a routine says otherwise, a failure is
// thrown as an ErroreRuntime with the classic number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/errore_runtime.h"
#include "support/nome_programma.h"

namespace borvan {

// Tells one file from every other, and one version of it from the next: the file itself
// (device and inode, or volume serial and file index), its size, its times and, once read, its
// content. Not every file system tells as much: FAT and exFAT make the index from the place of
// the file's entry in its folder, some network shares give none, FAT keeps write times to two
// seconds (confronta() in file.h weighs what is told).
struct IdentitaFile {
  uint64_t volume = 0;
  uint64_t indice = 0;  // 0: the file system gives files no ID
  uint64_t dimensione = 0;
  int64_t modificato = 0;  // in the file system's own ticks
  int64_t creato = 0;      // 0 where the system gives no creation time
  uint64_t impronta = 0;   // of the content read (impronta_di), 0 while it was not read
  bool operator==(const IdentitaFile&) const = default;
};

// The identity of the regular file at the path; nothing when none stands there.
std::optional<IdentitaFile> identita_file(const std::string& percorso) noexcept;

struct FileLetto {
  std::string contenuto;
  IdentitaFile identita;  // taken from the handle the content was read through
};

// Reads a regular file without ever blocking on anything else at the path (a FIFO, a device):
// at most `massimo` bytes and one more, so that the caller can tell a file that is too long.
FileLetto leggi_file_regolare(const std::string& percorso, uint64_t massimo);

// A command file taken for its job: open for reading while its writer is kept out (on Windows
// by the sharing mode, on Linux by a read lease), so that what is read is what the writer
// finished and the identity is that of the file read. Let go as soon as it is read: a writer
// kept out meanwhile waits (Linux) or is refused (Windows).
//
// Taken `da_togliere` at the job's end, it keeps nobody out: its identity and content prove,
// through the one handle, whether it is the job's file, and `cancella` deletes that file and no
// other, whatever has taken its path meanwhile.
class FileComandi {
 public:
  enum class Presa { lettura, da_togliere };
  explicit FileComandi(const std::string& percorso, Presa presa = Presa::lettura);
  ~FileComandi();
  FileComandi(const FileComandi&) = delete;
  FileComandi& operator=(const FileComandi&) = delete;

  // Its writer still holds it open: it is not ready yet, and nothing was taken.
  bool occupato() const { return occupato_; }
  // The identity of the file taken; nothing when it could not be opened.
  const std::optional<IdentitaFile>& identita() const { return identita_; }
  // As leggi_file_regolare, through the handle taken; an opening that failed throws here.
  FileLetto leggi(uint64_t massimo);
  // Taken `da_togliere`: deletes the file held, read-only ones included; false when it would not
  // go. The handle is let go.
  bool cancella() noexcept;

 private:
  std::string percorso_;
  intptr_t maniglia_ = -1;
  bool occupato_ = false;
  std::optional<IdentitaFile> identita_;
  std::optional<ErroreRuntime> errore_;
};

// What the start-up says in the log about how command files at this path are read: where the
// system cannot tell a file its writer still holds, or reads them in a code page of its own.
std::vector<std::string> avvertenze_file_comandi(const std::string& percorso);

inline constexpr const char* nome_blocco = con_nome_programma<".LCK">;

// The lock that keeps a second instance of the program out of its folder, whoever started it
// and from wherever: a file opened with no sharing (locked, on Linux), held for the program's
// life and let go by the system with its process, however it ends.
class BloccoIstanza {
 public:
  BloccoIstanza() = default;
  ~BloccoIstanza();
  BloccoIstanza(const BloccoIstanza&) = delete;
  BloccoIstanza& operator=(const BloccoIstanza&) = delete;

  // Takes the lock file at the path; false when another process holds it. A lock that cannot
  // be made at all keeps nobody out: running beats refusing to print.
  bool prendi(const std::string& percorso);

 private:
  intptr_t maniglia_ = -1;
};

// A regular file held open for writing. Writes are whole or fail.
class FileScrittura {
 public:
  // `sopra`: the content stays until it is written over, so that a reader never finds the file
  // empty; its attributes (hidden, say) stay as they are.
  enum class Modo { svuota, accoda, sopra };
  FileScrittura(const std::string& percorso, Modo modo);
  ~FileScrittura();
  FileScrittura(const FileScrittura&) = delete;
  FileScrittura& operator=(const FileScrittura&) = delete;

  // Writes the bytes at the end with one write; a short or failed write cuts the file back to
  // its length before it, so that it never keeps part of them.
  void accoda(const std::string& dati);
  // Overwrites bytes at a position (an update in place).
  void scrivi_in(uint64_t posizione, const std::string& dati);
  // Cuts the file to this length.
  void tronca(uint64_t lunghezza);
  // Waits until what was written is on the disk.
  void sincronizza();
  // Closes, reporting a failure of the last writes.
  void chiudi();

 private:
  intptr_t maniglia_ = -1;
};

// On Windows, a file another program holds (a scanner, the point-of-sale program reading it)
// refuses to be opened for writing, replaced or deleted for a moment: these routines try again
// for up to two seconds before such a refusal counts.

// Puts the file `da` in the place of `a` in one step, replacing it.
void sostituisci_file(const std::string& da, const std::string& a);

// Lets another file take the place of this one: Windows refuses to replace a read-only file.
// Every failure passes silently.
void togli_sola_lettura(const std::string& percorso) noexcept;

// Gives the file `nuovo`, about to take the place of `vecchio`, the marks a program reading it
// may rely on (on Windows hidden and system: some point-of-sale programs hide their files).
// Every failure passes silently.
void eredita_attributi(const std::string& vecchio, const std::string& nuovo) noexcept;

// Deletes the file at the path, read-only ones included (its attributes become normal first);
// never a folder. Every failure passes silently.
void elimina_file(const std::string& percorso) noexcept;

// Makes a file just created or removed in the folder survive a power cut.
void sincronizza_cartella(const std::string& cartella) noexcept;

// Hands the memory freed after a large job back to the system.
void restituisci_memoria() noexcept;

#ifdef _WIN32
// A text in the system's code page, as the wide-character routines take it.
std::wstring largo(const std::string& testo);
#endif

}  // namespace borvan

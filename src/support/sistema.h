#pragma once

// What only the operating system can answer about files. One implementation per platform
// (sistema_posix.cpp, sistema_windows.cpp); unless a routine says otherwise, a failure is
// thrown as an ErroreRuntime with the classic number.

#include <cstdint>
#include <optional>
#include <string>

namespace borvan {

// Tells one file from every other, and one version of it from the next: the file itself
// (device and inode, or volume serial and file index), its size and its last write time.
struct IdentitaFile {
  uint64_t volume = 0;
  uint64_t indice = 0;
  uint64_t dimensione = 0;
  int64_t modificato = 0;  // in the file system's own ticks
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

// A regular file held open for writing. Writes are whole or fail.
class FileScrittura {
 public:
  enum class Modo { svuota, accoda };
  FileScrittura(const std::string& percorso, Modo modo);
  ~FileScrittura();
  FileScrittura(const FileScrittura&) = delete;
  FileScrittura& operator=(const FileScrittura&) = delete;

  // Writes the bytes at the end with one write; a short or failed write cuts the file back to
  // its length before it, so that it never keeps part of them.
  void accoda(const std::string& dati);
  // Overwrites bytes at a position (an update in place).
  void scrivi_in(uint64_t posizione, const std::string& dati);
  // Waits until what was written is on the disk.
  void sincronizza();
  // Closes, reporting a failure of the last writes.
  void chiudi();

 private:
  intptr_t maniglia_ = -1;
};

// Puts the file `da` in the place of `a` in one step, replacing it.
void sostituisci_file(const std::string& da, const std::string& a);

// Deletes the file at the path only while it still is the one with that identity, so that a
// file dropped there meanwhile is never taken with it. True when that file no longer stands at
// the path (deleted, or already gone or replaced); false when it could not be deleted.
bool cancella_se_identico(const std::string& percorso, const IdentitaFile& identita) noexcept;

// Makes a file just created or removed in the folder survive a power cut.
void sincronizza_cartella(const std::string& cartella) noexcept;

// Hands the memory freed after a large job back to the system.
void restituisci_memoria() noexcept;

}  // namespace borvan

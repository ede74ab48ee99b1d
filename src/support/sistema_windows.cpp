// The file routines on Windows go through the ANSI ("A") functions only: paths are the bytes of
// the system's code page, converted by the system one way for every routine. The C++ library's
// own path conversion differs from it for some bytes (0x80-0x9F), and a file seen under two
// names is found by one routine and missed by the next.

#include <malloc.h>
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "support/errore_runtime.h"
#include "support/lettura.h"
#include "support/sistema.h"

namespace borvan {

namespace {

// A hidden or system file keeps its marks when it is replaced (eredita_attributi), and the system
// refuses to empty one unless it is asked with the same marks: both look at these.
constexpr DWORD marchi_nascosto = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

constexpr DWORD condivisione_piena = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE maniglia(intptr_t valore) {
  return reinterpret_cast<HANDLE>(valore);
}

bool e_cartella(const std::string& percorso) {
  const DWORD attributi = GetFileAttributesA(percorso.c_str());
  return attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Why a call on the path failed, as a classic error number.
ErroreRuntime errore_di(const std::string& percorso, DWORD codice) {
  switch (codice) {
    case ERROR_FILE_NOT_FOUND:
      return ErroreRuntime(codice_errore::file_non_trovato);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ErroreRuntime(codice_errore::percorso_non_trovato);
    case ERROR_ACCESS_DENIED:
      // The system says the same of a folder at the path and of a file it may not open.
      return ErroreRuntime(!percorso.empty() && e_cartella(percorso)
                               ? codice_errore::accesso_percorso
                               : codice_errore::permesso_negato);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return ErroreRuntime(codice_errore::permesso_negato);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErroreRuntime(codice_errore::disco_pieno);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return ErroreRuntime(codice_errore::nome_file_non_valido);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ErroreRuntime(codice_errore::memoria_esaurita);
    default:
      return ErroreRuntime(codice_errore::errore_io);
  }
}

int64_t tempo(FILETIME t) {
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

IdentitaFile identita_di(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
          (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
          tempo(info.ftLastWriteTime), tempo(info.ftCreationTime)};
}

// The identity of what the handle has open, when it is a regular file on a disk: a folder, a
// device (NUL, COM1, CON) or a pipe at the path is no file.
std::optional<IdentitaFile> identita_maniglia(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return identita_di(info);
}

// Closes the handle on every way out of a scope.
class Chiusura {
 public:
  explicit Chiusura(HANDLE file) : file_(file) {}
  ~Chiusura() { CloseHandle(file_); }
  Chiusura(const Chiusura&) = delete;
  Chiusura& operator=(const Chiusura&) = delete;

 private:
  HANDLE file_;
};

// A refusal that another program's handle on the file makes (its sharing mode, a byte lock, a
// deletion it has begun), not the file's own rights: a folder at the path is refused for good.
bool tenuto_da_altri(const std::string& percorso, DWORD codice) {
  return codice == ERROR_SHARING_VIOLATION || codice == ERROR_LOCK_VIOLATION ||
         (codice == ERROR_ACCESS_DENIED && !e_cartella(percorso));
}

// Runs the call until it succeeds, fails for another reason, or two seconds have gone by; false,
// with the system's code set, when it did not succeed.
template <class Chiamata>
bool con_pazienza(const std::string& percorso, Chiamata chiamata) {
  constexpr ULONGLONG attesa_ms = 2000;
  const ULONGLONG fine = GetTickCount64() + attesa_ms;
  for (;;) {
    if (chiamata()) return true;
    const DWORD codice = GetLastError();
    if (!tenuto_da_altri(percorso, codice) || GetTickCount64() >= fine) {
      SetLastError(codice);
      return false;
    }
    Sleep(20);
  }
}

// Opens a regular file on a disk; anything else at the path (a folder, a device, a pipe) is
// refused as a path/file access error. Only the type is asked of the system here: under wine
// the full identity of a handle costs milliseconds, too much for each line of the paper roll.
HANDLE apri_regolare(const std::string& percorso, DWORD accesso, DWORD creazione) {
  // Emptying a hidden or system file is refused unless it is asked with those same marks.
  DWORD attributi = FILE_ATTRIBUTE_NORMAL;
  if (creazione == CREATE_ALWAYS) {
    const DWORD esistenti = GetFileAttributesA(percorso.c_str());
    if (esistenti != INVALID_FILE_ATTRIBUTES && (esistenti & marchi_nascosto) != 0)
      attributi = esistenti & marchi_nascosto;
  }
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!con_pazienza(percorso, [&] {
        file = CreateFileA(percorso.c_str(), accesso, condivisione_piena, nullptr, creazione,
                           attributi, nullptr);
        return file != INVALID_HANDLE_VALUE;
      }))
    throw errore_di(percorso, GetLastError());
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    throw ErroreRuntime(codice_errore::accesso_percorso);
  }
  return file;
}

// Moves to a position, then writes the bytes with one call; false, with the system's code set,
// when not all of them went in. A write at an explicit offset would be one call, but wine
// takes a hundred times longer over it.
bool scrivi_da(HANDLE file, LARGE_INTEGER posizione, const std::string& dati) {
  DWORD scritti = 0;
  if (!SetFilePointerEx(file, posizione, nullptr, FILE_BEGIN) ||
      !WriteFile(file, dati.data(), static_cast<DWORD>(dati.size()), &scritti, nullptr))
    return false;
  if (scritti == dati.size()) return true;
  SetLastError(ERROR_DISK_FULL);
  return false;
}

void leggi_tutto(HANDLE file, const std::string& percorso, uint64_t massimo, FileLetto& letto) {
  leggi_a_blocchi(letto, massimo, [&](char* dove, size_t quanti) {
    DWORD n = 0;
    if (!ReadFile(file, dove, static_cast<DWORD>(std::min<size_t>(quanti, size_t{1} << 30)), &n,
                  nullptr))
      throw errore_di(percorso, GetLastError());
    return static_cast<size_t>(n);
  });
}

// Renames the file the handle holds, whatever name it goes by now. The new name is given whole,
// as the system's own path: wine takes a bare name as one in its current folder.
bool rinomina(HANDLE file, const std::string& percorso, bool sostituisci) {
  const std::wstring nome = largo(percorso);
  if (nome.empty()) return false;
  std::wstring intero = leggi_testo_di_sistema<wchar_t>([&](wchar_t* dove, size_t quanti) {
    const DWORD n = GetFullPathNameW(nome.c_str(), static_cast<DWORD>(quanti), dove, nullptr);
    return n >= quanti ? quanti : n;
  });
  if (intero.empty()) return false;
  if (intero.starts_with(L"\\\\?\\"))
    intero.erase(0, 4);
  else if (intero.starts_with(L"\\\\"))
    intero.replace(0, 2, L"UNC\\");
  intero.insert(0, L"\\??\\");
  std::vector<BYTE> dati(sizeof(FILE_RENAME_INFO) + intero.size() * sizeof(WCHAR));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(dati.data());
  info->ReplaceIfExists = sostituisci;
  info->FileNameLength = static_cast<DWORD>(intero.size() * sizeof(WCHAR));
  std::copy(intero.begin(), intero.end(), info->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(dati.size())) !=
         FALSE;
}

}  // namespace

std::optional<IdentitaFile> identita_file(const std::string& percorso) noexcept {
  // Most polls find nothing: the cheap look first.
  const DWORD attributi =
      percorso.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(percorso.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES || (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  // No access asked: only the file's facts, which no other program's sharing mode withholds.
  const HANDLE file = CreateFileA(percorso.c_str(), 0, condivisione_piena, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  Chiusura chiusura(file);
  return identita_maniglia(file);
}

FileLetto leggi_file_regolare(const std::string& percorso, uint64_t massimo) {
  FileLetto letto;
  const HANDLE file = apri_regolare(percorso, GENERIC_READ, OPEN_EXISTING);
  Chiusura chiusura(file);
  const std::optional<IdentitaFile> identita = identita_maniglia(file);
  if (!identita) throw ErroreRuntime(codice_errore::accesso_percorso);
  letto.identita = *identita;
  leggi_tutto(file, percorso, massimo, letto);
  return letto;
}

FileComandi::FileComandi(const std::string& percorso, Presa presa) : percorso_(percorso) {
  // Readers and a deletion are let in, writers are not: a writer that still has the file open
  // makes this opening fail, and one that comes later is refused until the file is let go.
  // Taken to be deleted, it lets everybody in; a program that keeps deletion out (a scanner, a
  // reader as the C library opens) is waited for a moment.
  const bool da_togliere = presa == Presa::da_togliere;
  const DWORD accesso = da_togliere ? GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES : GENERIC_READ;
  const DWORD condivisione = da_togliere ? condivisione_piena : FILE_SHARE_READ | FILE_SHARE_DELETE;
  HANDLE file = INVALID_HANDLE_VALUE;
  const auto apri = [&] {
    file = CreateFileA(percorso.c_str(), accesso, condivisione, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
  };
  if (!(da_togliere ? con_pazienza(percorso, apri) : apri())) {
    const DWORD codice = GetLastError();
    if (codice == ERROR_SHARING_VIOLATION || codice == ERROR_LOCK_VIOLATION ||
        (da_togliere && tenuto_da_altri(percorso, codice)))
      occupato_ = true;
    else
      errore_ = errore_di(percorso, codice);
    return;
  }
  identita_ = identita_maniglia(file);
  if (!identita_) {
    CloseHandle(file);
    errore_ = ErroreRuntime(codice_errore::accesso_percorso);
    return;
  }
  maniglia_ = reinterpret_cast<intptr_t>(file);
}

FileComandi::~FileComandi() {
  if (maniglia_ != -1) CloseHandle(maniglia(maniglia_));
}

FileLetto FileComandi::leggi(uint64_t massimo) {
  if (errore_) throw *errore_;
  FileLetto letto;
  letto.identita = *identita_;
  leggi_tutto(maniglia(maniglia_), "", massimo, letto);
  return letto;
}

// Marked deleted through its own handle, so that no look by its name decides. It takes a name of
// its own first: wine deletes by name when the handle closes, and a file dropped at the path by
// then would go with it.
bool FileComandi::cancella() noexcept {
  const HANDLE file = maniglia(std::exchange(maniglia_, -1));
  if (file == INVALID_HANDLE_VALUE) return false;
  Chiusura chiusura(file);
  // A read-only file refuses to be deleted until its attributes are normal; times of 0 stay.
  FILE_BASIC_INFO base{};
  if (GetFileInformationByHandleEx(file, FileBasicInfo, &base, sizeof base) &&
      (base.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    const DWORD attributi = base.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    base = FILE_BASIC_INFO{};
    base.FileAttributes = attributi != 0 ? attributi : FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file, FileBasicInfo, &base, sizeof base);
  }
  const bool da_parte = rinomina(file, percorso_ + ".del", true);
  FILE_DISPOSITION_INFO via{TRUE};
  if (SetFileInformationByHandle(file, FileDispositionInfo, &via, sizeof via)) return true;
  // It would not go: back to its path, never over a newer file.
  if (da_parte) rinomina(file, percorso_, false);
  return false;
}

std::vector<std::string> avvertenze_file_comandi(const std::string&) {
  if (GetACP() != CP_UTF8) return {};
  return {
      "La code page del sistema e' UTF-8 (65001): i file comandi sono letti come byte in "
      "UTF-8 e le righe passano al registratore cosi'"};
}

BloccoIstanza::~BloccoIstanza() {
  if (maniglia_ != -1) CloseHandle(maniglia(maniglia_));
}

// No sharing at all: every other opening fails, from any session, any elevation, any path that
// names the file, another computer over the network included. A scanner looking at the file
// for a moment is waited for.
bool BloccoIstanza::prendi(const std::string& percorso) {
  if (maniglia_ != -1) return true;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (const DWORD accesso : {DWORD{GENERIC_READ | GENERIC_WRITE}, DWORD{GENERIC_READ}}) {
    con_pazienza(percorso, [&] {
      file = CreateFileA(percorso.c_str(), accesso, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
      return file != INVALID_HANDLE_VALUE;
    });
    if (file != INVALID_HANDLE_VALUE) break;
    // A lock file this user may only read (another user's, or read-only) still locks.
    if (GetLastError() != ERROR_ACCESS_DENIED) break;
  }
  if (file != INVALID_HANDLE_VALUE) {
    maniglia_ = reinterpret_cast<intptr_t>(file);
    return true;
  }
  const DWORD codice = GetLastError();
  return codice != ERROR_SHARING_VIOLATION && codice != ERROR_LOCK_VIOLATION;
}

FileScrittura::FileScrittura(const std::string& percorso, Modo modo) {
  maniglia_ = reinterpret_cast<intptr_t>(
      apri_regolare(percorso, GENERIC_WRITE, modo == Modo::svuota ? CREATE_ALWAYS : OPEN_ALWAYS));
}

FileScrittura::~FileScrittura() {
  if (maniglia_ != -1) CloseHandle(maniglia(maniglia_));
}

void FileScrittura::accoda(const std::string& dati) {
  const HANDLE file = maniglia(maniglia_);
  LARGE_INTEGER fine{};
  if (!GetFileSizeEx(file, &fine)) throw errore_di("", GetLastError());
  if (scrivi_da(file, fine, dati)) return;
  const DWORD codice = GetLastError();
  // Part of the bytes may have gone in: they come out again. Should even that fail, the
  // caller still learns that the write failed.
  if (SetFilePointerEx(file, fine, nullptr, FILE_BEGIN)) SetEndOfFile(file);
  throw errore_di("", codice);
}

void FileScrittura::scrivi_in(uint64_t posizione, const std::string& dati) {
  LARGE_INTEGER dove{};
  dove.QuadPart = static_cast<LONGLONG>(posizione);
  if (!scrivi_da(maniglia(maniglia_), dove, dati)) throw errore_di("", GetLastError());
}

void FileScrittura::tronca(uint64_t lunghezza) {
  LARGE_INTEGER dove{};
  dove.QuadPart = static_cast<LONGLONG>(lunghezza);
  const HANDLE file = maniglia(maniglia_);
  if (!SetFilePointerEx(file, dove, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
    throw errore_di("", GetLastError());
}

void FileScrittura::sincronizza() {
  if (!FlushFileBuffers(maniglia(maniglia_))) throw errore_di("", GetLastError());
}

void FileScrittura::chiudi() {
  const HANDLE file = maniglia(maniglia_);
  maniglia_ = -1;
  if (file != INVALID_HANDLE_VALUE && !CloseHandle(file)) throw errore_di("", GetLastError());
}

void sostituisci_file(const std::string& da, const std::string& a) {
  if (!con_pazienza(a, [&] {
        return MoveFileExA(da.c_str(), a.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
      }))
    throw errore_di(a, GetLastError());
}

void togli_sola_lettura(const std::string& percorso) noexcept {
  const DWORD attributi = GetFileAttributesA(percorso.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES || (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (attributi & FILE_ATTRIBUTE_READONLY) == 0)
    return;
  SetFileAttributesA(percorso.c_str(), attributi & ~DWORD{FILE_ATTRIBUTE_READONLY});
}

void eredita_attributi(const std::string& vecchio, const std::string& nuovo) noexcept {
  const DWORD prima = GetFileAttributesA(vecchio.c_str());
  const DWORD adesso = GetFileAttributesA(nuovo.c_str());
  if (prima == INVALID_FILE_ATTRIBUTES || adesso == INVALID_FILE_ATTRIBUTES ||
      (prima & marchi_nascosto) == 0)
    return;
  SetFileAttributesA(nuovo.c_str(),
                     (adesso & ~DWORD{FILE_ATTRIBUTE_NORMAL}) | (prima & marchi_nascosto));
}

void elimina_file(const std::string& percorso) noexcept {
  if (percorso.empty() || e_cartella(percorso)) return;
  SetFileAttributesA(percorso.c_str(), FILE_ATTRIBUTE_NORMAL);
  con_pazienza(percorso, [&] { return DeleteFileA(percorso.c_str()) != 0; });
}

// NTFS keeps its folders in its own journal: a file written through, then flushed, stays.
void sincronizza_cartella(const std::string&) noexcept {}

void restituisci_memoria() noexcept {
  _heapmin();
}

std::wstring largo(const std::string& testo) {
  const int n =
      MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring risultato(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, testo.data(), static_cast<int>(testo.size()), risultato.data(), n);
  return risultato;
}

}  // namespace borvan

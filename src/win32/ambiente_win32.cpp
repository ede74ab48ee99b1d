#include "win32/ambiente_win32.h"

#include <windows.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "config/configurazione.h"
#include "support/percorsi.h"

namespace borvan::win32 {

namespace {

// FNV-1a: a hash that is the same in every build, so that a 32-bit and a 64-bit program in
// one folder keep each other out as well.
uint64_t impronta(const std::string& testo) {
  uint64_t valore = 14695981039346656037ull;
  for (const char c : testo) {
    valore ^= static_cast<unsigned char>(c);
    valore *= 1099511628211ull;
  }
  return valore;
}

// A short (8.3) spelling of the folder names the same installation as the long one.
std::string nome_lungo(const std::string& percorso) {
  const DWORD necessari = GetLongPathNameA(percorso.c_str(), nullptr, 0);
  if (necessari == 0) return percorso;
  std::vector<char> lungo(necessari);
  const DWORD scritti = GetLongPathNameA(percorso.c_str(), lungo.data(), necessari);
  if (scritti == 0 || scritti >= necessari) return percorso;
  return std::string(lungo.data(), scritti);
}

constexpr DWORD attesa_massima_fine_ms = 5000;

DWORD WINAPI termina_comunque(void*) {
  Sleep(attesa_massima_fine_ms);
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}

}  // namespace

std::string nome_blocco(const std::string& cartella_eseguibile) {
  std::string cartella = nome_lungo(cartella_applicazione(cartella_eseguibile));
  CharUpperBuffA(cartella.data(), static_cast<DWORD>(cartella.size()));
  char cifre[17];
  std::snprintf(cifre, sizeof cifre, "%016llx",
                static_cast<unsigned long long>(impronta(cartella)));
  return std::string("Local\\BorvanIF-") + cifre;
}

std::string AmbienteWin32::cartella_eseguibile() {
  std::vector<char> percorso(MAX_PATH);
  for (;;) {
    const DWORD scritti =
        GetModuleFileNameA(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
    if (scritti == 0) return {};
    if (scritti < percorso.size()) return estrai_cartella(std::string(percorso.data(), scritti));
    percorso.resize(percorso.size() * 2);  // cut short: a longer path than MAX_PATH
  }
}

AmbienteWin32::AmbienteWin32(const std::string& cartella_eseguibile)
    : nome_blocco_(nome_blocco(cartella_eseguibile)) {}

AmbienteWin32::~AmbienteWin32() {
  if (blocco_ != nullptr) CloseHandle(blocco_);
}

// The mutex is owned, not merely created: an owner that was killed leaves it abandoned, and
// the next start takes it over; the system drops it altogether when no process holds it.
bool AmbienteWin32::altra_istanza_attiva() {
  if (blocco_ == nullptr) blocco_ = CreateMutexA(nullptr, FALSE, nome_blocco_.c_str());
  // Without a mutex nothing can be told: running beats refusing to print at all.
  if (blocco_ == nullptr) return false;
  const DWORD attesa = WaitForSingleObject(blocco_, 0);
  return attesa != WAIT_OBJECT_0 && attesa != WAIT_ABANDONED;
}

// No further step of the program's own: no handler, no destructor, no library clean-up runs
// after this; only the register's control is let go first, as a form lets its controls go.
// Every file the program writes is closed by then, or written through straight to the system.
void AmbienteWin32::termina() {
  if (fine_) {
    const HANDLE guardia = CreateThread(nullptr, 0, termina_comunque, nullptr, 0, nullptr);
    const auto fine = std::exchange(fine_, nullptr);
    fine();
    if (guardia != nullptr) CloseHandle(guardia);
  }
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), 0);
}

DataOra AmbienteWin32::adesso() {
  SYSTEMTIME ora{};
  GetLocalTime(&ora);
  return {ora.wYear, ora.wMonth, ora.wDay, ora.wHour, ora.wMinute, ora.wSecond};
}

int64_t AmbienteWin32::millisecondi() {
  return static_cast<int64_t>(GetTickCount64());
}

void AmbienteWin32::mostra_configurazione() {
  if (configurazione_) configurazione_();
}

}  // namespace borvan::win32

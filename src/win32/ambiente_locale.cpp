#include "win32/ambiente_locale.h"

#include <cstdio>
#include <functional>

namespace borvan::win32 {

AmbienteLocale::AmbienteLocale(const std::string& cartella_eseguibile) {
  // One instance per installation: a mutex named after the program's folder, which the system
  // releases with a process that was killed.
  std::string cartella = cartella_eseguibile;
  CharUpperBuffA(cartella.data(), static_cast<DWORD>(cartella.size()));
  nome_blocco_ = "Local\\BorvanIF-" + std::to_string(std::hash<std::string>{}(cartella));
}

AmbienteLocale::~AmbienteLocale() {
  if (blocco_ != nullptr) CloseHandle(blocco_);
}

bool AmbienteLocale::altra_istanza_attiva() {
  if (blocco_ == nullptr) blocco_ = CreateMutexA(nullptr, FALSE, nome_blocco_.c_str());
  return blocco_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

void AmbienteLocale::termina() {
  std::fflush(nullptr);
  ExitProcess(0);
}

DataOra AmbienteLocale::adesso() {
  SYSTEMTIME ora{};
  GetLocalTime(&ora);
  return {ora.wYear, ora.wMonth, ora.wDay, ora.wHour, ora.wMinute, ora.wSecond};
}

void AmbienteLocale::mostra_configurazione() {
  if (configurazione_) configurazione_();
}

}  // namespace borvan::win32

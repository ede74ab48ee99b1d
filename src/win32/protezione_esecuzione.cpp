#include "win32/protezione_esecuzione.h"

namespace borvan::win32 {

namespace {

constexpr ULONG_PTR violazione_esecuzione = 8;  // EXCEPTION_RECORD: the access was an execution

}  // namespace

bool attiva_protezione_esecuzione(const std::string& cartella) {
#ifdef _WIN64
  (void)cartella;
  return false;
#else
  if (GetFileAttributesA((cartella + nome_senza_protezione).c_str()) != INVALID_FILE_ATTRIBUTES)
    return false;
  return SetProcessDEPPolicy(PROCESS_DEP_ENABLE) != FALSE;
#endif
}

bool esecuzione_da_dati(const EXCEPTION_RECORD& record) {
  if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2 ||
      record.ExceptionInformation[0] != violazione_esecuzione)
    return false;
  HMODULE modulo = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<const char*>(record.ExceptionAddress), &modulo);
  return modulo != GetModuleHandleA(nullptr);
}

bool scrivi_senza_protezione(const char* percorso) {
  static constexpr char testo[] =
      "BorvanIF non attiva piu' la protezione dell'esecuzione dei dati (DEP) all'avvio: il "
      "controllo del registratore ha eseguito codice da una pagina di dati ed e' stato "
      "fermato.\r\nPer riattivarla, cancellare questo file e riavviare BorvanIF.\r\n";
  const HANDLE file = CreateFileA(percorso, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD scritti = 0;
  const bool fatto =
      WriteFile(file, testo, sizeof testo - 1, &scritti, nullptr) && scritti == sizeof testo - 1;
  CloseHandle(file);
  return fatto;
}

}  // namespace borvan::win32

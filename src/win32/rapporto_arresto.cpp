// The crash report. What is caught, and how:
// - an exception nothing handles, on any thread: the process's filter of unhandled exceptions,
//   put back by the register's driver after every call into the control, whose runtime may have
//   set its own;
// - std::terminate and abort() of the program's own runtime: the same report, with the code the
//   C runtime gives a program that aborts;
// - a stack overflow: the crashing thread only hands the crash over, on the stack the main
//   thread keeps in reserve for it; the report is written by a thread of its own, made at
//   start-up, and the dump by another one, so that a dump that cannot finish (a crash that
//   holds the loader's lock, say) still leaves its log line;
// - an exception in a timer's callback or in a window procedure that the kernel calls back:
//   Windows would swallow it and let the program go on in whatever state the crash left, so the
//   program asks it not to.
// The crashing thread may hold the heap's lock: the dump's name is written into a path made at
// start-up, and the dump asked for before the report allocates anything. The log line comes
// after the dump, and is lost with such a crash. In a GUI program the C runtime's abort() would
// first wait for a click on a message box of its own: it is told to write to the standard
// error instead, which goes nowhere.
// No vectored handler: it sees every exception first, those the control raises and handles
// itself included, and cannot tell a crash from them.

#include "win32/rapporto_arresto.h"

#include <windows.h>
// After <windows.h>:
#include <dbghelp.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "app/esito.h"
#include "automazione/filtro_arresto.h"
#include "support/file.h"
#include "win32/librerie.h"
#include "win32/protezione_esecuzione.h"

namespace borvan::win32 {

namespace {

// std::terminate and abort() end the process as the C runtime ends a program that aborts.
constexpr DWORD codice_interruzione = 0x40000015;  // STATUS_FATAL_APP_EXIT
// How long the dump may take; the log line then says it did not finish.
constexpr DWORD attesa_dump_ms = 30000;
// How long the whole report may take before the process ends all the same.
constexpr DWORD attesa_rapporto_ms = 45000;
// The stack the main thread keeps to hand a stack overflow over.
constexpr ULONG riserva_pila = 64 * 1024;
constexpr DWORD filtro_callback_attivo = 0x1;  // PROCESS_CALLBACK_FILTER_ENABLED
constexpr MINIDUMP_TYPE tipo_dump = static_cast<MINIDUMP_TYPE>(
    MiniDumpNormal | MiniDumpWithIndirectlyReferencedMemory | MiniDumpWithUnloadedModules |
    MiniDumpWithHandleData | MiniDumpWithThreadInfo);

using ScriviDump = decltype(&MiniDumpWriteDump);

// A report's name, made of the time of the crash: the names sort by age.
constexpr char modello_rapporto[] = "BorvanIF-yyyymmdd-hhmmss.dmp";
constexpr size_t inizio_data = 9, inizio_ora = 18;

struct Rapporto {
  std::string cartella;
  std::function<std::string()> registro;
  // The file that turns DEP off from the next start; empty when the program did not turn it on.
  std::string senza_protezione;
  ScriviDump scrivi_dump = nullptr;
  std::string dbghelp_mancante;  // why dumps cannot be written at all
  HANDLE richiesta = nullptr, fatto = nullptr, dump_richiesto = nullptr, dump_fatto = nullptr;
  DWORD thread_rapporto = 0, thread_dump = 0;
  bool pronto = false;
  // The crash being reported, and the first crash's thread.
  LONG in_corso = 0;
  EXCEPTION_POINTERS* eccezione = nullptr;
  DWORD thread = 0;
  std::string percorso_dump;  // the folder and modello_rapporto, whose digits the crash writes
  DWORD errore_dump = 0;
};

Rapporto* rapporto = nullptr;  // armed once, for the process's life

// The system's own words for an error code (a Win32 error or an HRESULT).
std::string testo_sistema(DWORD codice) {
  char testo[512] = "";
  DWORD lunghezza = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, codice, 0, testo, sizeof testo, nullptr);
  while (lunghezza > 0 && (testo[lunghezza - 1] == '\r' || testo[lunghezza - 1] == '\n' ||
                           testo[lunghezza - 1] == ' '))
    --lunghezza;
  char numero[32];
  std::snprintf(numero, sizeof numero, "errore %lu", static_cast<unsigned long>(codice));
  if (lunghezza == 0) return numero;
  return std::string(testo, lunghezza) + " (" + numero + ")";
}

// Where the crash happened: the file name of the module that holds the address.
std::string luogo(void* indirizzo) {
  HMODULE modulo = nullptr;
  char percorso[MAX_PATH] = "";
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(indirizzo), &modulo) &&
      GetModuleFileNameA(modulo, percorso, MAX_PATH) > 0) {
    const char* nome = percorso;
    for (const char* c = percorso; *c != '\0'; ++c)
      if (*c == '\\' || *c == '/') nome = c + 1;
    return std::string("in ") + nome;
  }
  char testo[48];
  std::snprintf(testo, sizeof testo, "all'indirizzo %p", indirizzo);
  return testo;
}

std::string causa(const EXCEPTION_RECORD& record) {
  char codice[32];
  std::snprintf(codice, sizeof codice, "0x%08lX", static_cast<unsigned long>(record.ExceptionCode));
  if (record.ExceptionCode == codice_interruzione)
    return std::string("interruzione del programma (") + codice + ") " +
           luogo(record.ExceptionAddress);
  return std::string("eccezione ") + codice + " " + luogo(record.ExceptionAddress);
}

bool e_rapporto(const std::string& nome) {
  if (nome.size() != sizeof modello_rapporto - 1) return false;
  for (size_t i = 0; i < nome.size(); ++i) {
    const char c = nome[i], modello = modello_rapporto[i];
    const bool cifra = i >= inizio_data && i < inizio_ora + 6 && i != inizio_ora - 1;
    if (cifra ? (c < '0' || c > '9') : c != modello) return false;
  }
  return true;
}

// `cifre` digits of `valore` at `dove`, without the C library.
void scrivi_cifre(char* dove, unsigned valore, int cifre) {
  for (int i = cifre - 1; i >= 0; --i, valore /= 10) dove[i] = static_cast<char>('0' + valore % 10);
}

// The newest reports stay, the oldest go, so that a till that keeps crashing does not fill its
// disk.
void sfoltisci(const std::string& cartella) {
  std::vector<std::string> nomi;
  WIN32_FIND_DATAA trovato;
  const HANDLE ricerca = FindFirstFileA((cartella + "BorvanIF-*.dmp").c_str(), &trovato);
  if (ricerca == INVALID_HANDLE_VALUE) return;
  do {
    if ((trovato.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && e_rapporto(trovato.cFileName))
      nomi.emplace_back(trovato.cFileName);
  } while (FindNextFileA(ricerca, &trovato));
  FindClose(ricerca);
  std::sort(nomi.begin(), nomi.end());
  for (size_t i = 0; i + rapporti_conservati < nomi.size(); ++i)
    DeleteFileA((cartella + nomi[i]).c_str());
}

DWORD WINAPI thread_dump(void*) {
  Rapporto& r = *rapporto;
  WaitForSingleObject(r.dump_richiesto, INFINITE);
  const HANDLE file = CreateFileA(r.percorso_dump.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    r.errore_dump = GetLastError();
  } else {
    MINIDUMP_EXCEPTION_INFORMATION eccezione{r.thread, r.eccezione, FALSE};
    if (!r.scrivi_dump(GetCurrentProcess(), GetCurrentProcessId(), file, tipo_dump, &eccezione,
                       nullptr, nullptr)) {
      r.errore_dump = GetLastError();
      if (r.errore_dump == 0) r.errore_dump = static_cast<DWORD>(E_FAIL);
    }
    CloseHandle(file);
    if (r.errore_dump != 0) DeleteFileA(r.percorso_dump.c_str());
  }
  SetEvent(r.dump_fatto);
  return 0;
}

// The dump, then the log line: what happened, and where the dump is or why there is none.
DWORD WINAPI thread_rapporto(void*) {
  Rapporto& r = *rapporto;
  WaitForSingleObject(r.richiesta, INFINITE);
  SYSTEMTIME ora{};
  GetLocalTime(&ora);
  char* nome_dump = r.percorso_dump.data() + r.cartella.size();
  scrivi_cifre(nome_dump + inizio_data, ora.wYear, 4);
  scrivi_cifre(nome_dump + inizio_data + 4, ora.wMonth, 2);
  scrivi_cifre(nome_dump + inizio_data + 6, ora.wDay, 2);
  scrivi_cifre(nome_dump + inizio_ora, ora.wHour, 2);
  scrivi_cifre(nome_dump + inizio_ora + 2, ora.wMinute, 2);
  scrivi_cifre(nome_dump + inizio_ora + 4, ora.wSecond, 2);
  const bool dump = r.dbghelp_mancante.empty();
  if (dump) SetEvent(r.dump_richiesto);
  const EXCEPTION_RECORD& record = *r.eccezione->ExceptionRecord;
  const bool senza_protezione = !r.senza_protezione.empty() && esecuzione_da_dati(record) &&
                                scrivi_senza_protezione(r.senza_protezione.c_str());
  std::string motivo = r.dbghelp_mancante;
  if (dump) {
    if (WaitForSingleObject(r.dump_fatto, attesa_dump_ms) != WAIT_OBJECT_0)
      motivo = "non completato entro " + std::to_string(attesa_dump_ms / 1000) + " secondi";
    else if (r.errore_dump != 0)
      motivo = testo_sistema(r.errore_dump);
    sfoltisci(r.cartella);
  }
  const std::string nome = nome_dump;
  std::string esito = motivo.empty() ? "rapporto " + nome
                                     : "impossibile scrivere il rapporto " + nome + ": " + motivo;
  if (senza_protezione)
    esito += std::string(
                 "; il controllo ha eseguito codice da una pagina di dati: dal prossimo "
                 "avvio BorvanIF non attiva la DEP (") +
             nome_senza_protezione + ")";
  try {
    const std::string registro = r.registro ? r.registro() : std::string();
    // A note, not a job's outcome: the code's field stays empty, the crash's code is in the text.
    if (!registro.empty())
      aggiungi_a_file(
          registro,
          riga_nota({ora.wYear, ora.wMonth, ora.wDay, ora.wHour, ora.wMinute, ora.wSecond},
                    "BorvanIF terminato da un errore grave: " + causa(record) + "; " + esito));
  } catch (...) {
    // Nowhere left to say it: the dump, when there is one, still tells.
  }
  SetEvent(r.fatto);
  return 0;
}

// The crashing thread hands the crash over, waits for its report and ends the process. It does
// no more than that itself: its stack may be all but gone.
LONG WINAPI filtro(EXCEPTION_POINTERS* eccezione) {
  Rapporto& r = *rapporto;
  DWORD codice = eccezione->ExceptionRecord->ExceptionCode;
  const DWORD io = GetCurrentThreadId();
  if (InterlockedExchange(&r.in_corso, 1) == 0) {
    if (r.pronto) {
      r.eccezione = eccezione;
      r.thread = io;
      SetEvent(r.richiesta);
      WaitForSingleObject(r.fatto, attesa_rapporto_ms);
    }
  } else if (io == r.thread_rapporto || io == r.thread_dump) {
    // The report itself crashed: the first crash ends the process, now.
    codice = r.eccezione->ExceptionRecord->ExceptionCode;
  } else {
    // Another thread's crash is being reported; its end is this thread's too.
    Sleep(attesa_rapporto_ms);
  }
  TerminateProcess(GetCurrentProcess(), codice);
  return EXCEPTION_EXECUTE_HANDLER;
}

// std::terminate and abort(): no exception to hand over, so one is made of where they came.
void interrompi() {
  CONTEXT contesto{};
  RtlCaptureContext(&contesto);
  EXCEPTION_RECORD record{};
  record.ExceptionCode = codice_interruzione;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
#ifdef _WIN64
  record.ExceptionAddress = reinterpret_cast<void*>(contesto.Rip);
#else
  record.ExceptionAddress = reinterpret_cast<void*>(contesto.Eip);
#endif
  EXCEPTION_POINTERS puntatori{&record, &contesto};
  filtro(&puntatori);
}

void al_segnale_abort(int) {
  interrompi();
}

// An exception in a window procedure the kernel calls back is swallowed on 64-bit Windows
// unless the process asks otherwise (Windows 7 SP1 and later have these two functions).
void eccezioni_nelle_callback() {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  const auto leggi = funzione<BOOL(WINAPI*)(DWORD*)>(kernel32, "GetProcessUserModeExceptionPolicy");
  const auto imposta =
      funzione<BOOL(WINAPI*)(DWORD)>(kernel32, "SetProcessUserModeExceptionPolicy");
  DWORD politica = 0;
  if (leggi != nullptr && imposta != nullptr && leggi(&politica))
    imposta(politica & ~filtro_callback_attivo);
  // And in a timer's callback, which the register's control may use.
  BOOL nascondi = FALSE;
  SetUserObjectInformationW(GetCurrentProcess(), UOI_TIMERPROC_EXCEPTION_SUPPRESSION, &nascondi,
                            sizeof nascondi);
}

void carica_dbghelp(Rapporto& r) {
  const HMODULE dbghelp = libreria_di_sistema(L"dbghelp.dll");
  if (dbghelp == nullptr) {
    r.dbghelp_mancante = "dbghelp.dll non disponibile: " + testo_sistema(GetLastError());
    return;
  }
  r.scrivi_dump = funzione<ScriviDump>(dbghelp, "MiniDumpWriteDump");
  if (r.scrivi_dump == nullptr) r.dbghelp_mancante = "dbghelp.dll senza MiniDumpWriteDump";
}

}  // namespace

void arma_rapporto_arresto(const std::string& cartella, std::function<std::string()> registro,
                           const std::string& senza_protezione) {
  if (rapporto != nullptr) return;
  _set_error_mode(_OUT_TO_STDERR);
  rapporto = new Rapporto;
  Rapporto& r = *rapporto;
  r.cartella = cartella;
  r.registro = std::move(registro);
  r.senza_protezione = senza_protezione;
  r.percorso_dump = cartella + modello_rapporto;
  carica_dbghelp(r);
  for (HANDLE* evento : {&r.richiesta, &r.fatto, &r.dump_richiesto, &r.dump_fatto})
    *evento = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  r.pronto = r.richiesta != nullptr && r.fatto != nullptr && r.dump_richiesto != nullptr &&
             r.dump_fatto != nullptr;
  const auto avvia = [&r](LPTHREAD_START_ROUTINE procedura, DWORD& id) {
    const HANDLE thread = r.pronto ? CreateThread(nullptr, 0, procedura, nullptr, 0, &id) : nullptr;
    if (thread == nullptr) r.pronto = false;
    if (thread != nullptr) CloseHandle(thread);
  };
  avvia(thread_rapporto, r.thread_rapporto);
  avvia(thread_dump, r.thread_dump);
  imposta_filtro_arresto(filtro);
  std::set_terminate(interrompi);
  std::signal(SIGABRT, al_segnale_abort);
  ULONG riserva = riserva_pila;
  SetThreadStackGuarantee(&riserva);
  eccezioni_nelle_callback();
}

}  // namespace borvan::win32

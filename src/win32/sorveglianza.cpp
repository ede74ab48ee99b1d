#include "win32/sorveglianza.h"

#include <atomic>
#include <string_view>
#include <thread>
#include <utility>

#include "support/errore_runtime.h"
#include "support/sistema.h"
#include "win32/protetto.h"

namespace borvan::win32 {

namespace {

// Names appearing (created or renamed into place) and files written.
constexpr DWORD cambiamenti =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// What the system keeps of the changes between two reads (some 1,500 of them; the most a
// network folder allows); more is an overflow, which costs one poll.
constexpr size_t dimensione_avvisi = 64 * 1024;

std::string motivo(DWORD codice) {
  switch (codice) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      return descrizione_errore(codice_errore::percorso_non_trovato);
    case ERROR_ACCESS_DENIED:
      return descrizione_errore(codice_errore::permesso_negato);
    case ERROR_SEM_TIMEOUT:
      return "la cartella non risponde";
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
      return "il file system non segnala i cambiamenti";
    default:
      return descrizione_errore(codice_errore::errore_io) + " (" + std::to_string(codice) + ")";
  }
}

}  // namespace

// The thread that opens the folder hands the handle over only while the window still waits;
// one that comes later it closes itself.
struct VistaSorveglianza::Apertura {
  enum Stato { in_corso, fatta, abbandonata };
  std::atomic<int> stato{in_corso};
  HANDLE cartella = INVALID_HANDLE_VALUE;
  DWORD errore = 0;
  HANDLE fatto = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ~Apertura() { CloseHandle(fatto); }
};

VistaSorveglianza::VistaSorveglianza(Sorveglianza& sorveglianza, Modulo& modulo,
                                     std::function<void()> cambio)
    : sorveglianza_(sorveglianza),
      ciclo_(modulo.ciclo()),
      cambio_(std::move(cambio)),
      evento_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      lettura_(ciclo_.temporizzatori(), modulo.hwnd(), [this] { leggi(); }),
      richieste_(sorveglianza.richieste()) {
  attesa_ = std::make_unique<Attesa>(ciclo_, evento_, [this] { segnalata(); });
  legame_ = sorveglianza_.osserva([this] { aggiorna(); });
  if (!sorveglianza_.cartella().empty()) imposta();
}

VistaSorveglianza::~VistaSorveglianza() {
  smetti();
  attesa_.reset();
  CloseHandle(evento_);
}

void VistaSorveglianza::aggiorna() {
  if (sorveglianza_.richieste() == richieste_) {
    imposta();
    return;
  }
  richieste_ = sorveglianza_.richieste();
  cambiata_ = true;
  if (!lettura_.attivo()) lettura_.imposta(true, pausa);
}

void VistaSorveglianza::imposta() {
  if (sorveglianza_.cartella() == percorso_ && sorveglianza_.nome() == nome_ &&
      cartella_ != INVALID_HANDLE_VALUE)
    return;
  smetti();
  percorso_ = sorveglianza_.cartella();
  nome_ = sorveglianza_.nome();
  nome_largo_ = largo(nome_);
  const bool aperta = apri();
  sorveglianza_.setErrore_dalla_vista(aperta ? "" : motivo(GetLastError()));
}

// Opens the folder and asks for its first changes; false, with the system's error, when it
// cannot be watched, or does not answer in time.
bool VistaSorveglianza::apri() {
  if (apertura_ && apertura_->stato != Apertura::fatta) {
    SetLastError(ERROR_SEM_TIMEOUT);  // the last one still hangs: no second thread behind it
    return false;
  }
  apertura_ = std::make_shared<Apertura>();
  std::thread([apertura = apertura_, percorso = percorso_] {
    const HANDLE cartella =
        CreateFileA(percorso.c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    apertura->errore = GetLastError();
    apertura->cartella = cartella;
    if (apertura->stato.exchange(Apertura::fatta) == Apertura::abbandonata &&
        cartella != INVALID_HANDLE_VALUE)
      CloseHandle(cartella);
    SetEvent(apertura->fatto);
  }).detach();
  WaitForSingleObject(apertura_->fatto, attesa_apertura);
  if (int atteso = Apertura::in_corso;
      apertura_->stato.compare_exchange_strong(atteso, Apertura::abbandonata)) {
    SetLastError(ERROR_SEM_TIMEOUT);
    return false;
  }
  cartella_ = apertura_->cartella;
  if (cartella_ == INVALID_HANDLE_VALUE) {
    SetLastError(apertura_->errore);
    return false;
  }
  richiesta_ = std::make_unique<Richiesta>();
  richiesta_->avvisi.resize(dimensione_avvisi);
  if (chiedi()) return true;
  const DWORD errore = GetLastError();
  smetti();
  SetLastError(errore);
  return false;
}

bool VistaSorveglianza::chiedi() {
  ResetEvent(evento_);
  richiesta_->ov = OVERLAPPED{};
  richiesta_->ov.hEvent = evento_;
  std::vector<BYTE>& avvisi = richiesta_->avvisi;
  in_attesa_ =
      ReadDirectoryChangesW(cartella_, avvisi.data(), static_cast<DWORD>(avvisi.size()), FALSE,
                            cambiamenti, nullptr, &richiesta_->ov, nullptr) != FALSE;
  return in_attesa_;
}

// Cancelled and closed on a thread of its own, which keeps the request's buffer until the system
// is done with it: on a share that stopped answering either may wait for the network.
void VistaSorveglianza::smetti() {
  if (cartella_ == INVALID_HANDLE_VALUE) return;
  std::thread([cartella = cartella_, richiesta = std::move(richiesta_), in_attesa = in_attesa_] {
    if (in_attesa && CancelIoEx(cartella, &richiesta->ov))
      while (!HasOverlappedIoCompleted(&richiesta->ov)) Sleep(10);
    CloseHandle(cartella);
  }).detach();
  in_attesa_ = false;
  cartella_ = INVALID_HANDLE_VALUE;
  ResetEvent(evento_);
}

// The system has answered: what it says is kept, and the next request waits for the pause.
void VistaSorveglianza::segnalata() {
  ResetEvent(evento_);
  raccogli();
  if (!lettura_.attivo()) lettura_.imposta(true, pausa);
}

// Takes in the answer to the pending request.
void VistaSorveglianza::raccogli() {
  if (!in_attesa_ || cartella_ == INVALID_HANDLE_VALUE) return;
  DWORD letti = 0;
  if (GetOverlappedResult(cartella_, &richiesta_->ov, &letti, FALSE)) {
    in_attesa_ = false;
    // Nothing read: more changes than the buffer holds, which may have concerned the file.
    cambiata_ = cambiata_ || letti == 0 || riguarda(richiesta_->avvisi, letti);
  } else if (GetLastError() == ERROR_IO_INCOMPLETE) {
    return;
  } else if (GetLastError() == ERROR_NOTIFY_ENUM_DIR) {
    in_attesa_ = false;
    cambiata_ = true;
  } else {
    // The folder went, or its file system stopped answering: the poll alone, until one stands
    // at the path again.
    in_attesa_ = false;
    smetti();
    cambiata_ = true;
  }
}

void VistaSorveglianza::leggi() {
  lettura_.imposta(false, 0);
  if (!legame_.attivo()) return;
  if (cartella_ == INVALID_HANDLE_VALUE && !percorso_.empty() && apri())
    sorveglianza_.setErrore_dalla_vista("");
  // What the system kept since the last request answers the next one at once: it comes with
  // this read, so that a burst is one run of the handler. The last request stays pending, its
  // answer waited for by the loop.
  for (int giro = 0; cartella_ != INVALID_HANDLE_VALUE && !in_attesa_; ++giro) {
    if (!chiedi()) {
      smetti();
      break;
    }
    // A folder this busy: the rest comes with the next read.
    if (giro == 7 || WaitForSingleObject(evento_, 0) != WAIT_OBJECT_0) break;
    ResetEvent(evento_);
    raccogli();
  }
  if (std::exchange(cambiata_, false)) protetto(ciclo_, cambio_);
}

// A change to the watched name, or to a short name that may stand for it (the system reports
// either).
bool VistaSorveglianza::riguarda(const std::vector<BYTE>& avvisi, DWORD lunghezza) const {
  for (DWORD posizione = 0; posizione + sizeof(FILE_NOTIFY_INFORMATION) <= lunghezza;) {
    const auto* avviso = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(&avvisi[posizione]);
    const std::wstring_view nome(avviso->FileName, avviso->FileNameLength / sizeof(WCHAR));
    const bool arriva = avviso->Action == FILE_ACTION_ADDED ||
                        avviso->Action == FILE_ACTION_MODIFIED ||
                        avviso->Action == FILE_ACTION_RENAMED_NEW_NAME;
    const bool stesso =
        CompareStringOrdinal(nome.data(), static_cast<int>(nome.size()), nome_largo_.data(),
                             static_cast<int>(nome_largo_.size()), TRUE) == CSTR_EQUAL;
    if (arriva && (stesso || nome.find(L'~') != std::wstring_view::npos)) return true;
    if (avviso->NextEntryOffset == 0) break;
    posizione += avviso->NextEntryOffset;
  }
  return false;
}

}  // namespace borvan::win32

#include "qt/sorveglianza.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <system_error>
#include <utility>

#include "qt/protetto.h"
#include "support/errore_runtime.h"

namespace borvan::qt {

namespace {

// A file closed after writing or renamed into place is whole; one just created is not, and the
// poll must not take it half-written. The folder's own going ends the watch.
constexpr uint32_t eventi =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

std::string motivo(int codice) {
  if (codice == ENOENT || codice == ENOTDIR)
    return descrizione_errore(codice_errore::percorso_non_trovato);
  // The system's limits on watches, which are no full disk.
  if (codice == ENOSPC || codice == EMFILE) return "troppe sorveglianze aperte nel sistema";
  return descrizione_errore(numero_da_codice(std::error_code(codice, std::generic_category())));
}

}  // namespace

VistaSorveglianza::VistaSorveglianza(Sorveglianza& sorveglianza, std::function<void()> cambio,
                                     QObject* genitore)
    : QObject(genitore),
      sorveglianza_(sorveglianza),
      cambio_(std::move(cambio)),
      lettura_(this),
      richieste_(sorveglianza.richieste()) {
  lettura_.setSingleShot(true);
  lettura_.setTimerType(Qt::PreciseTimer);
  lettura_.setInterval(pausa);
  connect(&lettura_, &QTimer::timeout, this, [this] { leggi(); });
  legame_ = sorveglianza_.osserva([this] { aggiorna(); });
  if (!sorveglianza_.cartella().empty()) imposta();
}

VistaSorveglianza::~VistaSorveglianza() {
  delete avvisi_;
  if (inotify_ >= 0) ::close(inotify_);
}

void VistaSorveglianza::aggiorna() {
  if (!legame_.attivo()) return;
  if (sorveglianza_.richieste() == richieste_) {
    imposta();
    return;
  }
  richieste_ = sorveglianza_.richieste();
  cambiata_ = true;
  if (!lettura_.isActive()) lettura_.start();
}

void VistaSorveglianza::imposta() {
  if (sorveglianza_.cartella() == cartella_ && sorveglianza_.nome() == nome_ && osservata_ >= 0)
    return;
  smetti();
  cartella_ = sorveglianza_.cartella();
  nome_ = sorveglianza_.nome();
  if (inotify_ < 0) {
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) {
      sorveglianza_.setErrore_dalla_vista(motivo(errno));
      return;
    }
    avvisi_ = new QSocketNotifier(inotify_, QSocketNotifier::Read);
    connect(avvisi_, &QSocketNotifier::activated, this, [this] {
      // Read after a pause: whatever comes meanwhile is read with it.
      avvisi_->setEnabled(false);
      if (!lettura_.isActive()) lettura_.start();
    });
  }
  osservata_ = ::inotify_add_watch(inotify_, cartella_.c_str(), eventi);
  sorveglianza_.setErrore_dalla_vista(osservata_ < 0 ? motivo(errno) : "");
}

void VistaSorveglianza::smetti() {
  if (osservata_ >= 0) ::inotify_rm_watch(inotify_, osservata_);
  osservata_ = -1;
}

void VistaSorveglianza::leggi() {
  if (!legame_.attivo()) return;
  bool cambiata = std::exchange(cambiata_, false);
  if (inotify_ >= 0) {
    alignas(inotify_event) char dati[4096];
    for (;;) {
      const ssize_t letti = ::read(inotify_, dati, sizeof dati);
      if (letti < 0 && errno == EINTR) continue;
      if (letti <= 0) break;  // all read
      for (const char* p = dati; p < dati + letti;) {
        const auto* evento = reinterpret_cast<const inotify_event*>(p);
        p += sizeof(inotify_event) + evento->len;
        // Changes the system could not keep may have concerned the file.
        if (evento->mask & IN_Q_OVERFLOW) cambiata = true;
        if (evento->wd != osservata_) continue;  // an earlier folder's
        if (evento->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
          // The folder went, or is elsewhere now: the poll alone, until one stands at the path.
          smetti();
          cambiata = true;
        } else if (evento->len > 0 && nome_ == evento->name) {
          cambiata = true;
        }
      }
    }
    avvisi_->setEnabled(true);
    // A folder that was missing or went may stand at the path again.
    if (osservata_ < 0 && !cartella_.empty()) {
      osservata_ = ::inotify_add_watch(inotify_, cartella_.c_str(), eventi);
      if (osservata_ >= 0) sorveglianza_.setErrore_dalla_vista("");
    }
  }
  if (cambiata) protetto(cambio_);
}

}  // namespace borvan::qt

#include "win32/temporizzatori.h"

#include <algorithm>

namespace borvan::win32 {

namespace {

UINT_PTR id_di(const Temporizzatore* t) {
  return reinterpret_cast<UINT_PTR>(t);
}

}  // namespace

bool Temporizzatori::vivo(const Temporizzatore* t) const {
  return std::find(tutti_.begin(), tutti_.end(), t) != tutti_.end();
}

// Fires every timer other than the fast ones that has fallen due.
void Temporizzatori::scatta_scaduti() {
  const Orologio::time_point ora = Orologio::now();
  const std::vector<Temporizzatore*> tutti = tutti_;
  for (Temporizzatore* t : tutti)
    if (vivo(t) && t->attivo() && !t->veloce() && t->scadenza() <= ora) t->scatta();
}

bool Temporizzatori::segnale(UINT_PTR id) {
  auto* t = reinterpret_cast<Temporizzatore*>(id);
  if (!vivo(t)) return false;
  // Half an interval early counts as due: the window timer only follows the loop's own firing.
  if (!t->attivo_) return true;
  // Before a line, whatever has fallen due meanwhile: a time-out ends the job first.
  if (t->veloce()) {
    scatta_scaduti();
    if (vivo(t) && t->veloce()) t->scatta();
    return true;
  }
  if (Orologio::now() + std::chrono::milliseconds(t->intervallo_) / 2 >= t->scadenza_) t->scatta();
  return true;
}

bool Temporizzatori::raffica(std::chrono::microseconds durata) {
  const Orologio::time_point fine = Orologio::now() + durata;
  for (;;) {
    scatta_scaduti();
    // A due timer may have stopped the fast one (a time-out ends the job).
    const auto veloce =
        std::find_if(tutti_.begin(), tutti_.end(), [](auto* t) { return t->veloce(); });
    if (veloce == tutti_.end()) return false;
    (*veloce)->scatta();
    if (Orologio::now() >= fine) return true;
  }
}

Temporizzatore::Temporizzatore(Temporizzatori& registro, HWND finestra,
                               std::function<void()> scatto)
    : registro_(registro), finestra_(finestra), scatto_(std::move(scatto)) {
  registro_.tutti_.push_back(this);
}

Temporizzatore::~Temporizzatore() {
  if (attivo_ && IsWindow(finestra_)) KillTimer(finestra_, id_di(this));
  auto& tutti = registro_.tutti_;
  tutti.erase(std::remove(tutti.begin(), tutti.end(), this), tutti.end());
}

void Temporizzatore::imposta(bool attivo, int32_t millisecondi) {
  attivo_ = attivo && millisecondi > 0;
  intervallo_ = millisecondi;
  if (!attivo_) {
    KillTimer(finestra_, id_di(this));
    return;
  }
  scadenza_ = Orologio::now() + std::chrono::milliseconds(intervallo_);
  SetTimer(finestra_, id_di(this), static_cast<UINT>(intervallo_), nullptr);
}

void Temporizzatore::scatta() {
  scadenza_ = Orologio::now() + std::chrono::milliseconds(intervallo_);
  scatto_();
}

}  // namespace borvan::win32

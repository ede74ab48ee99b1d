#include "win32/temporizzatori.h"

#include <algorithm>
#include <vector>

namespace borvan::win32 {

namespace {

// Every live timer; a tick may create or destroy timers (a dialog's), so walks take a copy.
std::vector<Temporizzatore*>& registro() {
  static std::vector<Temporizzatore*> tutti;
  return tutti;
}

bool vivo(const Temporizzatore* t) {
  const auto& tutti = registro();
  return std::find(tutti.begin(), tutti.end(), t) != tutti.end();
}

UINT_PTR id_di(const Temporizzatore* t) {
  return reinterpret_cast<UINT_PTR>(t);
}

}  // namespace

Temporizzatore::Temporizzatore(HWND finestra, std::function<void()> scatto)
    : finestra_(finestra), scatto_(std::move(scatto)) {
  registro().push_back(this);
}

Temporizzatore::~Temporizzatore() {
  if (attivo_ && IsWindow(finestra_)) KillTimer(finestra_, id_di(this));
  auto& tutti = registro();
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

bool Temporizzatore::segnale(UINT_PTR id) {
  auto* t = reinterpret_cast<Temporizzatore*>(id);
  if (!vivo(t)) return false;
  // Half an interval early counts as due: the window timer only follows the loop's own firing.
  if (t->attivo_ && Orologio::now() + std::chrono::milliseconds(t->intervallo_) / 2 >= t->scadenza_)
    t->scatta();
  return true;
}

bool raffica(std::chrono::microseconds durata) {
  const Orologio::time_point fine = Orologio::now() + durata;
  for (;;) {
    Temporizzatore* veloce = nullptr;
    const Orologio::time_point ora = Orologio::now();
    const std::vector<Temporizzatore*> tutti = registro();
    for (Temporizzatore* t : tutti) {
      if (!vivo(t) || !t->attivo()) continue;
      if (t->veloce()) {
        if (veloce == nullptr) veloce = t;
      } else if (t->scadenza_ <= ora) {
        t->scatta();
      }
    }
    // A due timer may have stopped the fast one (a time-out ends the job).
    if (veloce == nullptr || !vivo(veloce) || !veloce->veloce()) return false;
    veloce->scatta();
    if (Orologio::now() >= fine) return true;
  }
}

}  // namespace borvan::win32

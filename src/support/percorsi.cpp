#include "support/percorsi.h"

#include <algorithm>

#include "support/testo.h"

namespace borvan {

namespace {

char separatore(StilePercorso stile) {
  return stile == StilePercorso::windows ? '\\' : '/';
}

// Both slashes separate on input, whatever the style.
bool e_separatore(char c) {
  return c == '\\' || c == '/';
}

std::string con_separatore(std::string testo, StilePercorso stile) {
  const char giusto = separatore(stile);
  std::replace_if(testo.begin(), testo.end(), e_separatore, giusto);
  return testo;
}

// The drive ("C:") or share ("\\server\share") a Windows folder stands on; empty when none shows.
std::string radice(const std::string& cartella) {
  if (cartella.size() >= 2 && cartella[1] == ':') return cartella.substr(0, 2);
  if (cartella.size() < 2 || !e_separatore(cartella[0]) || !e_separatore(cartella[1])) return "";
  size_t fine = 2;
  for (int parte = 0; parte < 2 && fine != std::string::npos; ++parte)
    fine = cartella.find_first_of("\\/", fine + 1);
  return cartella.substr(0, fine);
}

}  // namespace

std::string risolvi_percorso(const std::string& percorso, const std::string& cartella,
                             StilePercorso stile) {
  const bool dalla_radice = !percorso.empty() && e_separatore(percorso[0]);
  if (stile == StilePercorso::posix) return dalla_radice ? percorso : cartella + percorso;
  if (percorso.size() >= 2 && percorso[1] == ':') return percorso;
  if (!dalla_radice) return cartella + percorso;
  if (percorso.size() >= 2 && e_separatore(percorso[1])) return percorso;
  return radice(cartella) + percorso;
}

std::string estrai_cartella(const std::string& percorso, StilePercorso stile) {
  std::string t = trim_spazi(percorso);
  // Scanning from the end, the first separator (dropped) or drive colon (kept) decides.
  while (!t.empty()) {
    const char ultimo = t.back();
    if (e_separatore(ultimo)) {
      t.pop_back();
      break;
    }
    if (ultimo == ':' && stile == StilePercorso::windows) break;
    t.pop_back();
  }
  t = trim_spazi(t);
  return stile == StilePercorso::posix ? con_separatore(std::move(t), stile) : t;
}

CartellaENome dividi_percorso(const std::string& percorso, StilePercorso stile) {
  const bool windows = stile == StilePercorso::windows;
  const size_t divisione = percorso.find_last_of(windows ? "\\/:" : "\\/");
  if (divisione == std::string::npos) return {".", percorso};
  std::string cartella = percorso.substr(0, divisione);
  // "C:" alone is the drive's current folder, not its root; a drive's colon stays with it.
  if (cartella.empty() || (windows && (percorso[divisione] == ':' || cartella.back() == ':')))
    cartella = percorso.substr(0, divisione + 1);
  return {con_separatore(std::move(cartella), stile), percorso.substr(divisione + 1)};
}

std::string normalizza_percorso(const std::string& percorso, StilePercorso stile) {
  std::string t = con_separatore(trim_spazi(percorso), stile);
  if (t.empty() || t.back() != separatore(stile)) t.push_back(separatore(stile));
  return t;
}

std::string separatori_nativi(const std::string& percorso, StilePercorso stile) {
  // Windows accepts both slashes, so the path stays exactly as the operator wrote it.
  if (stile == StilePercorso::windows) return percorso;
  return con_separatore(percorso, stile);
}

}  // namespace borvan

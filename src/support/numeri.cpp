#include "support/numeri.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

#include "support/errore_runtime.h"
#include "support/trappola.h"

namespace borvan {

namespace {

bool ignorato(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

bool cifra(char c) {
  return c >= '0' && c <= '9';
}

// The text as the reader sees it: separators and blanks gone, the comma as the decimal point.
std::string normalizza(const std::string& testo) {
  std::string pulito;
  pulito.reserve(testo.size());
  for (char c : testo) {
    if (c == '\'' || ignorato(c)) continue;
    pulito.push_back(c == ',' ? '.' : c);
  }
  return pulito;
}

int valore_cifra(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// "&H" and "&O": a non-negative whole number in the given base, rounded once to the nearest
// double. Summed digit by digit in doubles it would be rounded at every step, and the 32-bit
// build (x87, wider registers) would round differently from the others: the digits go into 64
// exact bits, those that no longer fit only count, and a lost non-zero digit stays in the
// lowest bit so that a tie is not mistaken.
double leggi_intero_in_base(const std::string& testo, size_t inizio, int base) {
  const int bit = base == 16 ? 4 : 3;
  uint64_t cifre = 0;
  int spostamento = 0;
  bool perse = false;
  for (size_t i = inizio; i < testo.size(); ++i) {
    const int v = valore_cifra(testo[i], base);
    if (v < 0) break;
    if (cifre >> (64 - bit) == 0) {
      cifre = cifre << bit | static_cast<uint64_t>(v);
    } else {
      spostamento += bit;
      perse = perse || v != 0;
    }
    if (spostamento > 1100) throw ErroreRuntime(codice_errore::overflow);
  }
  if (perse) cifre |= 1;
  const double valore = std::ldexp(static_cast<double>(cifre), spostamento);
  if (std::isinf(valore)) throw ErroreRuntime(codice_errore::overflow);
  return valore;
}

}  // namespace

double leggi_numero(const std::string& testo) {
  const std::string t = normalizza(testo);

  if (t.size() >= 2 && t[0] == '&') {
    if (t[1] == 'H' || t[1] == 'h') return leggi_intero_in_base(t, 2, 16);
    if (t[1] == 'O' || t[1] == 'o') return leggi_intero_in_base(t, 2, 8);
    return 0;
  }

  size_t i = 0;
  bool negativo = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativo = t[i++] == '-';

  std::string cifre;        // the mantissa's digits, leading zeros dropped
  int64_t esponente10 = 0;  // the value is 0.cifre * 10^esponente10 before the written exponent
  bool letta_cifra = false;
  bool dopo_punto = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '.') {
      if (dopo_punto) break;
      dopo_punto = true;
      continue;
    }
    if (!cifra(c)) break;
    letta_cifra = true;
    if (cifre.empty() && c == '0') {
      if (dopo_punto) --esponente10;
      continue;
    }
    cifre.push_back(c);
    if (!dopo_punto) ++esponente10;
  }
  if (!letta_cifra || cifre.empty()) return 0;

  // The written exponent; a huge one only needs to stay huge, so it is clamped.
  constexpr int64_t limite_esponente = 1'000'000;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    size_t j = i + 1;
    bool esp_negativo = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) esp_negativo = t[j++] == '-';
    int64_t esp = 0;
    for (; j < t.size() && cifra(t[j]); ++j) {
      esp = std::min<int64_t>(esp * 10 + (t[j] - '0'), limite_esponente);
    }
    esponente10 += esp_negativo ? -esp : esp;
  }

  // Far outside a double's range either way: decide without asking the converter.
  if (esponente10 > 400) throw ErroreRuntime(codice_errore::overflow);
  if (esponente10 < -400) return 0;

  const std::string scritto =
      "0." + cifre + "e" + std::to_string(esponente10);  // locale-independent form
  double valore = 0;
  const auto [fine, esito] =
      std::from_chars(scritto.data(), scritto.data() + scritto.size(), valore);
  (void)fine;
  if (esito == std::errc::result_out_of_range) {
    if (esponente10 > 0) throw ErroreRuntime(codice_errore::overflow);
    return 0;  // too small: reads as zero, as the classic reader does
  }
  if (std::isinf(valore)) throw ErroreRuntime(codice_errore::overflow);
  return negativo ? -valore : valore;
}

double converti_numero(const std::string& testo, GestoreErrori& errori) {
  double valore = 0;
  const auto errore = cattura_errore([&] { valore = leggi_numero(testo); });
  if (!errore) return valore;
  // Reported once only: converting the same text again fails the same way, so a retry
  // answer would loop for ever (and the error dialog answers retry by itself).
  int32_t linea = 0;
  errori.elabora_errore(*errore, linea);
  return 0;
}

int32_t arrotonda_intero(double valore) {
  if (std::isnan(valore)) throw ErroreRuntime(codice_errore::overflow);
  double intero = std::round(valore);  // halves away from zero
  if (std::fabs(valore - std::trunc(valore)) == 0.5 && std::fmod(intero, 2.0) != 0) {
    intero -= std::copysign(1.0, valore);
  }
  if (intero < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      intero > static_cast<double>(std::numeric_limits<int32_t>::max())) {
    throw ErroreRuntime(codice_errore::overflow);
  }
  return static_cast<int32_t>(intero);
}

std::optional<int32_t> intero_se_entra(double valore) {
  std::optional<int32_t> intero;
  if (cattura_errore([&] { intero = arrotonda_intero(valore); })) return std::nullopt;
  return intero;
}

std::optional<int32_t> leggi_intero(const std::string& testo) {
  double valore = 0;
  if (cattura_errore([&] { valore = leggi_numero(testo); })) return std::nullopt;
  return intero_se_entra(valore);
}

std::string numero_in_testo(double valore, char separatore_decimale) {
  if (valore == 0) return "0";  // also for -0
  char buffer[64];
  const auto [fine, esito] =
      std::to_chars(buffer, buffer + sizeof buffer, valore, std::chars_format::general, 15);
  if (esito != std::errc{}) return "0";
  std::string testo(buffer, fine);
  for (char& c : testo) {
    if (c == '.') c = separatore_decimale;
    if (c == 'e') c = 'E';
  }
  return testo;
}

}  // namespace borvan

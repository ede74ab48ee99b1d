#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace borvan {

class GestoreErrori;

// Reads the leading number of a text in the program's one fixed way, whatever the regional
// settings: apostrophes dropped, a comma taken as the decimal point, spaces, tabs and line
// feeds ignored anywhere, an optional sign, one decimal point, an "E" or "D" exponent,
// "&H" hexadecimal and "&O" octal. No leading number gives 0. Throws ErroreRuntime(6)
// when the number does not fit a double.
double leggi_numero(const std::string& testo);

// leggi_numero with its overflow handed to the common error routine; the number then reads as 0.
double converti_numero(const std::string& testo, GestoreErrori& errori);

// Nearest 32-bit integer, halves to the even neighbour (10.5 gives 10, 59.5 gives 60).
// Throws ErroreRuntime(6) when the value does not fit.
int32_t arrotonda_intero(double valore);

// arrotonda_intero, or nothing when the value does not fit.
std::optional<int32_t> intero_se_entra(double valore);

// A text's leading number as a whole number (leggi_numero, then arrotonda_intero), or nothing
// when it does not fit: for settings where an impossible value is simply not taken.
std::optional<int32_t> leggi_intero(const std::string& testo);

// A double as the system writes it: at most 15 significant digits, no exponent for ordinary
// magnitudes, no trailing zeros, the given decimal separator.
std::string numero_in_testo(double valore, char separatore_decimale);

}  // namespace borvan

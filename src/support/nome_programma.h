#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace borvan {

// The program's name: the caption of its message boxes, the source of its own errors, and the
// first part of the names of its files, window classes and messages.
inline constexpr const char* nome_programma = "BorvanIF";

// A string literal, as a template argument.
template <size_t N>
struct Letterale {
  char testo[N];
  constexpr Letterale(const char (&origine)[N]) {
    for (size_t i = 0; i < N; ++i) testo[i] = origine[i];
  }
};

template <Letterale seguito>
inline constexpr auto testo_con_nome_programma = [] {
  constexpr std::string_view nome = nome_programma;
  std::array<char, nome.size() + sizeof seguito.testo> unito{};
  for (size_t i = 0; i < nome.size(); ++i) unito[i] = nome[i];
  for (size_t i = 0; i < sizeof seguito.testo; ++i) unito[nome.size() + i] = seguito.testo[i];
  return unito;
}();

// The program's name and `seguito`, as a constant: con_nome_programma<".CFG"> is "BorvanIF.CFG".
template <Letterale seguito>
inline constexpr const char* con_nome_programma = testo_con_nome_programma<seguito>.data();

}  // namespace borvan

#include "automazione/virgola_mobile.h"

#include <windows.h>

#include <optional>

namespace borvan {

namespace {

bool con_sse() {
  static const bool presente = IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE);
  return presente;
}

ParoleVirgolaMobile correnti() {
  ParoleVirgolaMobile parole;
  asm volatile("fnstcw %0" : "=m"(parole.x87));
  if (con_sse()) asm volatile("stmxcsr %0" : "=m"(parole.sse));
  return parole;
}

// Both units' words: the C library's fesetenv leaves the SSE unit's alone on 64-bit builds. An
// exception the control left pending would trap at the program's next x87 instruction.
void imposta(const ParoleVirgolaMobile& parole) {
  asm volatile("fnclex\n\tfldcw %0" : : "m"(parole.x87));
  if (con_sse()) asm volatile("ldmxcsr %0" : : "m"(parole.sse));
}

// The program's words, as they stood before the control's latest call; none before its first,
// when no control has run yet.
std::optional<ParoleVirgolaMobile> parole_programma;

}  // namespace

ParoleSalvate::ParoleSalvate() : salvate_(correnti()) {}

ParoleSalvate::~ParoleSalvate() {
  imposta(salvate_);
}

ParoleRipristinate::ParoleRipristinate() {
  parole_programma = salvate_;
}

ParoleDelProgramma::ParoleDelProgramma() {
  imposta(parole_programma.value_or(salvate_));
}

}  // namespace borvan

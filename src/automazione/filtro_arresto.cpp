#include "automazione/filtro_arresto.h"

#include <atomic>

namespace borvan {

namespace {

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> filtro_programma{nullptr};

}  // namespace

void imposta_filtro_arresto(LPTOP_LEVEL_EXCEPTION_FILTER filtro) noexcept {
  filtro_programma = filtro;
  SetUnhandledExceptionFilter(filtro);
}

void rimetti_filtro_arresto() noexcept {
  if (const LPTOP_LEVEL_EXCEPTION_FILTER filtro = filtro_programma)
    SetUnhandledExceptionFilter(filtro);
}

}  // namespace borvan

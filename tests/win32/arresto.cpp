// A GUI program, as BorvanIF is, that arms the crash report, then dies as it is told, for the
// report's test:
//   borvan_arresto pila|abort|mucchio CARTELLA
// pila: a stack overflow; abort: abort(); mucchio: an access violation while the C runtime's
// heap is locked, as a crash inside malloc leaves it. The report goes into CARTELLA (which ends
// with its separator), the log line into its BorvanIF.LOG.

#include <windows.h>

#include <malloc.h>
#include <cstdlib>
#include <string>

#include "win32/rapporto_arresto.h"

namespace {

volatile int profondita = 0;

// Each call keeps a page of the stack busy, until there is none left.
int ricorri(int livello) {
  volatile char pagina[4096];
  pagina[livello % sizeof pagina] = static_cast<char>(livello);
  profondita = profondita + 1;
  if (profondita < 0) return 0;  // never: it only hides the endless recursion from the compiler
  return ricorri(livello + 1) + pagina[livello % sizeof pagina];
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  const std::string modo = argv[1], cartella = argv[2];
  borvan::win32::arma_rapporto_arresto(cartella, [cartella] { return cartella + "BorvanIF.LOG"; });
  if (modo == "pila") return ricorri(0);
  if (modo == "abort") std::abort();
  if (modo == "mucchio") {
    HeapLock(reinterpret_cast<HANDLE>(_get_heap_handle()));
    volatile uintptr_t nulla = 0;
    *reinterpret_cast<volatile int*>(nulla) = 0;
  }
  return 3;
}

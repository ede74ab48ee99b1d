// A program that arms the crash report, then dies as it is told, for the report's test:
//   borvan_arresto pila|abort CARTELLA
// The report goes into CARTELLA (which ends with its separator), the log line into its
// BorvanIF.LOG.

#include <windows.h>

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
  return 3;
}

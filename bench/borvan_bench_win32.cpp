// How fast the Windows program prints: long jobs through the real BorvanIF.exe --simulatore on
// an instant simulated register, timed from the moment the command file is dropped until its
// outcome is written (the poll's wait included). Not a test: it reports figures.
//   /usr/lib/wine/wine64 build/windows64/bench/borvan_bench_win32.exe

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "comune/installazione.h"

namespace {

using namespace borvan::test;
using Orologio = std::chrono::steady_clock;

// Seconds from the drop of the command file to its outcome; negative when it failed.
double tempo_di_un_lavoro(const Installazione& installazione, int righe) {
  std::string testo;
  for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + " 1,00\r\n";
  std::filesystem::remove(installazione.percorso("Result.TXT"));
  installazione.scrivi("Scontr.tmp", testo);
  const auto inizio = Orologio::now();
  std::filesystem::rename(installazione.percorso("Scontr.tmp"),
                          installazione.percorso("Scontr.ECR"));
  while (!installazione.esiste("Result.TXT") || installazione.esiste("Scontr.ECR")) {
    if (Orologio::now() - inizio > std::chrono::minutes(2)) return -1;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const double secondi = std::chrono::duration<double>(Orologio::now() - inizio).count();
  return installazione.leggi("Result.TXT").starts_with("0\r\n") ? secondi : -1;
}

}  // namespace

int main() {
  std::printf(
      "BorvanIF.exe --simulatore, instant register, POLLING_TIME=11 (target: 10000 lines/s)\n");
  int esito = 0;
  for (const int righe : {1000, 32767}) {
    for (int volta = 1; volta <= 3; ++volta) {
      Installazione installazione("POLLING_TIME=11\r\nTIMEOUT=0\r\n");
      const auto programma = installazione.avvia();
      // The first job waits for the program's start; a one-line job then gives what every job
      // costs whatever its length (the poll's wait, the journal's waits for the disk).
      const double avvio = programma ? tempo_di_un_lavoro(installazione, 1) : -1;
      const double fisso = tempo_di_un_lavoro(installazione, 1);
      const double secondi = tempo_di_un_lavoro(installazione, righe);
      if (avvio < 0 || fisso < 0 || secondi < 0) {
        std::printf("%6d lines: the job failed\n", righe);
        esito = 1;
        continue;
      }
      std::printf(
          "%6d lines: %6.0f lines/s (%.3f s; a one-line job %.0f ms, %6.0f lines/s after it)\n",
          righe, righe / secondi, secondi, fisso * 1000, righe / std::max(secondi - fisso, 1e-6));
    }
  }
  return esito;
}

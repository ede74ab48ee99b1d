// How fast the Windows program prints, through the real BorvanIF.exe --simulatore on an instant
// simulated register: how soon a job's first line follows the drop of its command file at the
// default settings, and long jobs timed from the drop until their outcome is written (the
// poll's wait included). Not a test: it reports figures.
//   /usr/lib/wine/wine64 build/windows64/bench/borvan_bench_win32.exe

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

// Milliseconds from a one-line command file's rename into place to its line on the roll, at the
// default settings, for jobs dropped at random moments of the poll's interval; nothing for a job
// that failed.
std::vector<double> latenze(int volte) {
  Installazione installazione("POLLING_TIME=500\r\nTIMEOUT=0\r\n");
  const auto programma = installazione.avvia("--simulatore");
  std::vector<double> latenze;
  if (!programma || !installazione.lavoro("PRIMO\r\n")) return latenze;
  std::mt19937 caso(4321);
  for (int volta = 0; volta < volte; ++volta) {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution(50, 550)(caso)));
    const std::string riga = "ARTICOLO " + std::to_string(volta) + "\r\n";
    const std::string atteso = installazione.leggi("ECRSIM.TXT") + riga;
    std::filesystem::remove(installazione.percorso("Result.TXT"));
    installazione.scrivi("Scontr.tmp", riga);
    const auto inizio = Orologio::now();
    std::filesystem::rename(installazione.percorso("Scontr.tmp"),
                            installazione.percorso("Scontr.ECR"));
    while (installazione.leggi("ECRSIM.TXT") != atteso) {
      if (Orologio::now() - inizio > std::chrono::seconds(10)) return {};
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    latenze.push_back(std::chrono::duration<double, std::milli>(Orologio::now() - inizio).count());
    // The next drop waits for this job's end: the file cannot be replaced while it is held.
    if (!attendi([&] {
          return installazione.esiste("Result.TXT") && !installazione.esiste("Scontr.ECR");
        }))
      return {};
  }
  return latenze;
}

double quantile(std::vector<double> valori, double quota) {
  std::sort(valori.begin(), valori.end());
  return valori[std::min(valori.size() - 1,
                         static_cast<size_t>(quota * static_cast<double>(valori.size())))];
}

}  // namespace

int main() {
  {
    const std::vector<double> misure = latenze(20);
    if (misure.size() < 20) {
      std::printf("drop to first line: the jobs failed\n");
      return 1;
    }
    const double mezzo = quantile(misure, 0.5), novanta = quantile(misure, 0.9);
    std::printf(
        "drop to first line, default settings, 20 jobs: median %.1f ms (target < 50), 90th "
        "percentile %.1f ms (target < 100)\n",
        mezzo, novanta);
  }
  std::printf(
      "BorvanIF.exe --simulatore, instant register, POLLING_TIME=11 (target: 10000 lines/s)\n");
  int esito = 0;
  for (const int righe : {1000, 32767}) {
    for (int volta = 1; volta <= 3; ++volta) {
      Installazione installazione("POLLING_TIME=11\r\nTIMEOUT=0\r\n");
      const auto programma = installazione.avvia("--simulatore");
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

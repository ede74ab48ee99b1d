// How fast the program prints: whole jobs through the real main window, on the real event loop
// (offscreen), on the simulated register wrapped in a stopwatch. Not a test: it reports figures
// against the targets the program is held to.

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ecr/registratore_simulato.h"
#include "qt/programma.h"

namespace {

using namespace borvan;
using Orologio = std::chrono::steady_clock;

double secondi(Orologio::duration durata) {
  return std::chrono::duration<double>(durata).count();
}

// The register as it is, with a stopwatch around each of its calls: what the register costs
// against what the program around it costs.
class DriverCronometrato : public DriverEcr {
 private:
  template <typename F>
  auto misura(F chiamata) {
    struct Cronometro {
      Orologio::duration& totale;
      Orologio::time_point inizio = Orologio::now();
      ~Cronometro() { totale += Orologio::now() - inizio; }
    } cronometro{dentro};
    return chiamata();
  }

 public:
  explicit DriverCronometrato(std::unique_ptr<DriverEcr> driver) : driver_(std::move(driver)) {}

  void imposta_proprieta_9(int16_t valore) override {
    apertura = Orologio::now();
    misura([&] { driver_->imposta_proprieta_9(valore); });
    if (all_apertura) all_apertura();
  }
  int32_t apri(std::string& richiesta) override {
    return misura([&] { return driver_->apri(richiesta); });
  }
  int32_t stato() override {
    return misura([&] { return driver_->stato(); });
  }
  int32_t invia(std::string& riga, std::string& risposta) override {
    ++righe_inviate;
    const int32_t risultato = misura([&] { return driver_->invia(riga, risposta); });
    if (righe_inviate == 1 && alla_prima_riga) alla_prima_riga();
    return risultato;
  }
  int32_t chiudi() override {
    const int32_t risultato = misura([&] { return driver_->chiudi(); });
    if (alla_chiusura) alla_chiusura();
    return risultato;
  }

  void azzera() {
    dentro = {};
    righe_inviate = 0;
  }

  Orologio::duration dentro{};  // time spent inside the register's calls
  Orologio::time_point apertura;
  int righe_inviate = 0;
  std::function<void()> all_apertura;
  std::function<void()> alla_prima_riga;  // once it is on the roll
  std::function<void()> alla_chiusura;

 private:
  std::unique_ptr<DriverEcr> driver_;
};

// The application, timing the repaints of one window: the list is to follow a job at most at
// the display's rate, and each repaint is time the register waits for its next line.
class ApplicazioneCronometrata : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* oggetto, QEvent* evento) override {
    if (evento->type() != QEvent::UpdateRequest || oggetto != finestra)
      return QApplication::notify(oggetto, evento);
    const auto inizio = Orologio::now();
    const bool risultato = QApplication::notify(oggetto, evento);
    tempo_ridisegni += Orologio::now() - inizio;
    ++ridisegni;
    return risultato;
  }

  QObject* finestra = nullptr;
  int ridisegni = 0;
  Orologio::duration tempo_ridisegni{};
};

void scrivi(const std::filesystem::path& percorso, const std::string& testo) {
  std::ofstream(percorso, std::ios::binary | std::ios::trunc) << testo;
}

std::string leggi(const std::filesystem::path& percorso) {
  std::ifstream file(percorso, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct Lavoro {
  double secondi = 0;           // from the open to the job's end
  double secondi_registro = 0;  // of which inside the register's calls
  int righe_inviate = 0;
  int ridisegni = 0;             // of the main window
  double secondi_ridisegni = 0;  // spent repainting it
  Orologio::time_point fine;
  std::string result;
};

// The program in an application directory of its own, with its window shown.
class Banco {
 public:
  explicit Banco(ApplicazioneCronometrata& applicazione)
      : applicazione_(applicazione),
        cartella_(std::filesystem::temp_directory_path() /
                  ("borvan-bench-" + std::to_string(std::random_device{}()))),
        preparata_(prepara(cartella_)),
        programma_(QString::fromStdString(cartella_.string()), cronometrato()) {
    applicazione_.finestra = &programma_.finestra();
    programma_.avvia();
  }
  ~Banco() {
    std::error_code ignora;
    std::filesystem::remove_all(cartella_, ignora);
  }

  // Runs one job of `righe` lines on a register taking `ritardo_ms` per line; `all_inizio`
  // runs when the job opens the register.
  Lavoro esegui(int righe, int ritardo_ms, const std::function<void()>& all_inizio = {}) {
    scrivi(cartella_ / "ECRSIM.CFG", "LINE_DELAY_MS=" + std::to_string(ritardo_ms) + "\r\n");
    std::filesystem::remove(cartella_ / "ECRSIM.TXT");
    std::filesystem::remove(cartella_ / "Result.TXT");
    std::string testo;
    for (int i = 1; i <= righe; ++i) testo += "ARTICOLO " + std::to_string(i) + " 1,00\r\n";
    scrivi(cartella_ / "Scontr.tmp", testo);

    QEventLoop ciclo;
    Orologio::time_point fine;
    driver_->azzera();
    driver_->all_apertura = [&] {
      applicazione_.ridisegni = 0;
      applicazione_.tempo_ridisegni = {};
      if (all_inizio) all_inizio();
    };
    // Member 13 is the first step of the end; the job is over once that tick has returned.
    driver_->alla_chiusura = [&] {
      QMetaObject::invokeMethod(
          &ciclo,
          [&] {
            fine = Orologio::now();
            ciclo.quit();
          },
          Qt::QueuedConnection);
    };
    QTimer::singleShot(std::chrono::minutes(5), &ciclo, &QEventLoop::quit);
    std::filesystem::rename(cartella_ / "Scontr.tmp", cartella_ / "Scontr.ECR");
    ciclo.exec();
    driver_->all_apertura = nullptr;
    driver_->alla_chiusura = nullptr;

    Lavoro lavoro;
    lavoro.secondi = secondi(fine - driver_->apertura);
    lavoro.secondi_registro = secondi(driver_->dentro);
    lavoro.righe_inviate = driver_->righe_inviate;
    lavoro.ridisegni = applicazione_.ridisegni;
    lavoro.secondi_ridisegni = secondi(applicazione_.tempo_ridisegni);
    lavoro.fine = fine;
    lavoro.result = leggi(cartella_ / "Result.TXT");
    if (programma_.principale().stampa_in_corso()) lavoro.result = "(job still running)";
    return lavoro;
  }

  // Share of a core the idle program takes over `durata`, polling at the default interval;
  // with `affollata`, while another program writes, renames and deletes files of its own in the
  // command file's folder as fast as it can. Only the program's own thread is counted.
  struct Riposo {
    double quota;            // of one core, in percent
    double file_al_secondo;  // written beside the command file meanwhile
  };
  Riposo cpu_a_riposo(std::chrono::milliseconds durata, bool affollata = false) {
    predefinita();
    gira(std::chrono::seconds(1));
    std::atomic<bool> fine = false;
    std::atomic<int> file = 0;
    std::thread altro;
    if (affollata)
      altro = std::thread([&] {
        for (int n = 0; !fine; ++n, ++file) {
          scrivi(cartella_ / "Vendite.tmp", "vendita " + std::to_string(n) + "\r\n");
          std::filesystem::rename(cartella_ / "Vendite.tmp", cartella_ / "Vendite.dat");
        }
      });
    const double prima = cpu_filo();
    const auto inizio = Orologio::now();
    gira(durata);
    const double trascorsi = secondi(Orologio::now() - inizio);
    const double quota = (cpu_filo() - prima) / trascorsi * 100;
    fine = true;
    if (altro.joinable()) altro.join();
    return {quota, file / trascorsi};
  }

  // Milliseconds from a one-line command file's rename into place to its line on the roll, at
  // the default settings, for jobs dropped at random moments of the poll's interval; without
  // `sorveglia`, on the poll alone (the folder's watch pointed elsewhere).
  std::vector<double> latenze(int volte, bool sorveglia = true) {
    predefinita();
    if (!sorveglia) programma_.principale().sorveglianza.sorveglia("/nonexistent", "");
    std::mt19937 caso(4321);
    std::vector<double> latenze;
    for (int volta = 0; volta < volte; ++volta) {
      gira(std::chrono::milliseconds(std::uniform_int_distribution(50, 550)(caso)));
      scrivi(cartella_ / "Scontr.tmp", "ARTICOLO 1 1,00\r\n");
      QEventLoop ciclo;
      std::optional<Orologio::time_point> riga;
      driver_->azzera();
      driver_->alla_prima_riga = [&] { riga = Orologio::now(); };
      driver_->alla_chiusura = [&] {
        QMetaObject::invokeMethod(
            &ciclo, [&] { ciclo.quit(); }, Qt::QueuedConnection);
      };
      QTimer::singleShot(std::chrono::seconds(10), &ciclo, &QEventLoop::quit);
      const auto inizio = Orologio::now();
      std::filesystem::rename(cartella_ / "Scontr.tmp", cartella_ / "Scontr.ECR");
      ciclo.exec();
      driver_->alla_prima_riga = nullptr;
      driver_->alla_chiusura = nullptr;
      if (riga) latenze.push_back(secondi(*riga - inizio) * 1000);
    }
    return latenze;
  }

  qt::FinestraPrincipale& finestra() { return programma_.finestra(); }

 private:
  static bool prepara(const std::filesystem::path& cartella) {
    std::filesystem::create_directories(cartella);
    scrivi(cartella / "BorvanIF.CFG", "POLLING_TIME=20\r\nTIMEOUT=0\r\nSHOW_ERRORS=0\r\n");
    return true;
  }

  // The settings a shop starts with (no message box, no time-out to wait for).
  void predefinita() {
    scrivi(cartella_ / "BorvanIF.CFG", "TIMEOUT=0\r\nSHOW_ERRORS=0\r\n");
    programma_.principale().leggi_config();
  }

  std::unique_ptr<DriverEcr> cronometrato() {
    auto driver = std::make_unique<DriverCronometrato>(
        std::make_unique<RegistratoreSimulato>(cartella_.string() + "/"));
    driver_ = driver.get();
    return driver;
  }

  static void gira(std::chrono::milliseconds durata) {
    QEventLoop ciclo;
    QTimer::singleShot(durata, &ciclo, &QEventLoop::quit);
    ciclo.exec();
  }

  // The processor time of the calling thread, the program's own.
  static double cpu_filo() {
    rusage uso{};
    getrusage(RUSAGE_THREAD, &uso);
    return static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
  }

  ApplicazioneCronometrata& applicazione_;
  std::filesystem::path cartella_;
  bool preparata_;  // the folder and its settings exist before the window reads them
  DriverCronometrato* driver_ = nullptr;
  qt::Programma programma_;
};

// The value below which `quota` of the values lie (0.5: the median).
double quantile(std::vector<double> valori, double quota) {
  std::sort(valori.begin(), valori.end());
  return valori[std::min(valori.size() - 1,
                         static_cast<size_t>(quota * static_cast<double>(valori.size())))];
}

double mediana(std::vector<double> valori) {
  return quantile(std::move(valori), 0.5);
}

struct Riga {
  std::string misura;
  std::string valore;
  std::string obiettivo;
  std::optional<bool> riuscita;  // nothing for a figure without a target
};

std::string formato(const char* forma, double valore) {
  char testo[64];
  std::snprintf(testo, sizeof testo, forma, valore);
  return testo;
}

// Where the time of a few jobs went, as medians: the register, and the window's repaints.
void dettagli(const std::string& nome, const std::vector<Lavoro>& lavori,
              std::vector<Riga>& righe) {
  auto misura = [&lavori](auto valore) {
    std::vector<double> valori;
    for (const Lavoro& lavoro : lavori) valori.push_back(valore(lavoro));
    return mediana(valori);
  };
  const double righe_lavoro = lavori.front().righe_inviate;
  righe.push_back({"  " + nome + ": time outside the register, per line",
                   formato("%.1f us", misura([&](const Lavoro& l) {
                             return (l.secondi - l.secondi_registro) / righe_lavoro * 1e6;
                           })),
                   "",
                   {}});
  // A job shorter than a few frames says nothing about the repaints.
  if (lavori.front().secondi < 0.1) return;
  righe.push_back({"  " + nome + ": window repaints per second",
                   formato("%.0f", misura([](const Lavoro& l) { return l.ridisegni / l.secondi; })),
                   "display rate",
                   {}});
  righe.push_back({"  " + nome + ": time per repaint",
                   formato("%.2f ms", misura([](const Lavoro& l) {
                             return l.ridisegni ? l.secondi_ridisegni / l.ridisegni * 1000 : 0;
                           })),
                   "",
                   {}});
  righe.push_back({"  " + nome + ": share of the job spent repainting",
                   formato("%.1f %%", misura([](const Lavoro& l) {
                             return l.secondi_ridisegni / l.secondi * 100;
                           })),
                   "",
                   {}});
}

// Lines per second with an instant register: the median of a few jobs.
Riga velocita(Banco& banco, int righe, int ripetizioni, std::vector<Riga>& altre) {
  std::vector<Lavoro> lavori;
  std::vector<double> al_secondo;
  for (int i = 0; i < ripetizioni; ++i) {
    lavori.push_back(banco.esegui(righe, 0));
    const Lavoro& lavoro = lavori.back();
    if (!lavoro.result.starts_with("0\r\n") || lavoro.righe_inviate != righe)
      std::fprintf(stderr, "job of %d lines ended badly: %s\n", righe, lavoro.result.c_str());
    al_secondo.push_back(righe / lavoro.secondi);
  }
  const std::string nome = std::to_string(righe) + " lines, instant";
  dettagli(nome, lavori, altre);
  const double valore = mediana(al_secondo);
  return {"lines/s, instant register, " + std::to_string(righe) + " lines", formato("%.0f", valore),
          ">= 20000", valore >= 20000};
}

// A register taking 1 ms a line: the program's own share of a job is to be small.
Riga rapporto(Banco& banco, int ripetizioni, std::vector<Riga>& altre) {
  constexpr int righe = 1000;
  std::vector<Lavoro> lavori;
  std::vector<double> rapporti;
  for (int i = 0; i < ripetizioni; ++i) {
    lavori.push_back(banco.esegui(righe, 1));
    const Lavoro& lavoro = lavori.back();
    if (!lavoro.result.starts_with("0\r\n"))
      std::fprintf(stderr, "job ended badly: %s\n", lavoro.result.c_str());
    rapporti.push_back(lavoro.secondi / lavoro.secondi_registro);
  }
  dettagli("1000 lines, 1 ms/line", lavori, altre);
  const double valore = mediana(rapporti);
  return {"job wall time / time inside the register, 1 ms/line, 1000 lines",
          formato("%.3f", valore), "< 1.05", valore < 1.05};
}

// The interrupt button pressed during a long job, as an operator presses it: the click comes
// from outside the program's thread, at any moment, also while a line is being sent. Measured
// from the click being posted to the job's end with -101.
Riga interruzione(Banco& banco, int ritardo_ms, int ripetizioni) {
  std::vector<double> risposte;
  std::mt19937 caso(12345);
  for (int i = 0; i < ripetizioni; ++i) {
    const auto attesa =
        std::chrono::microseconds(std::uniform_int_distribution(40000, 90000)(caso));
    Orologio::time_point click;
    std::thread operatore;
    const Lavoro lavoro = banco.esegui(32767, ritardo_ms, [&] {
      QPushButton* pulsante = banco.finestra().command2;
      const QPointF centro = QRectF(pulsante->rect()).center();
      const QPointF schermo = pulsante->mapToGlobal(centro);
      auto* premi = new QMouseEvent(QEvent::MouseButtonPress, centro, schermo, Qt::LeftButton,
                                    Qt::LeftButton, Qt::NoModifier);
      auto* rilascia = new QMouseEvent(QEvent::MouseButtonRelease, centro, schermo, Qt::LeftButton,
                                       Qt::NoButton, Qt::NoModifier);
      operatore = std::thread([&click, attesa, pulsante, premi, rilascia] {
        std::this_thread::sleep_for(attesa);
        click = Orologio::now();
        QCoreApplication::postEvent(pulsante, premi);
        QCoreApplication::postEvent(pulsante, rilascia);
      });
    });
    operatore.join();
    if (!lavoro.result.starts_with("-101\r\n")) {
      std::fprintf(stderr, "the job was not interrupted: %s\n", lavoro.result.c_str());
      continue;
    }
    risposte.push_back(secondi(lavoro.fine - click) * 1000);
  }
  if (risposte.empty()) return {"interrupt response", "none", "< 50 ms", false};
  const double peggiore = *std::max_element(risposte.begin(), risposte.end());
  return {"interrupt response (worst of " + std::to_string(ripetizioni) + "), register " +
              std::to_string(ritardo_ms) + " ms/line",
          formato("%.1f ms", peggiore), "< 50 ms", peggiore < 50};
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ApplicazioneCronometrata applicazione(argc, argv);
  qt::prepara_applicazione();
  QApplication::setQuitOnLastWindowClosed(false);
  // One measure alone, for a profiler: speed, ratio, interrupt, latency or idle.
  const std::string solo = argc > 1 ? argv[1] : "";
  auto misura = [&solo](const char* nome) { return solo.empty() || solo == nome; };

  Banco banco(applicazione);
  std::vector<Riga> righe, altre;
  if (misura("speed")) {
    righe.push_back(velocita(banco, 1000, 5, altre));
    righe.push_back(velocita(banco, 32767, 3, altre));
  }
  if (misura("ratio")) righe.push_back(rapporto(banco, 3, altre));
  if (misura("interrupt")) {
    righe.push_back(interruzione(banco, 0, 5));
    righe.push_back(interruzione(banco, 20, 5));
  }
  if (misura("latency")) {
    const std::vector<double> latenze = banco.latenze(20);
    if (latenze.size() < 20) std::fprintf(stderr, "%zu of 20 jobs ran\n", latenze.size());
    const double mezzo = quantile(latenze, 0.5), novanta = quantile(latenze, 0.9);
    righe.push_back({"drop to first line, default settings, 20 jobs: median",
                     formato("%.1f ms", mezzo), "< 50 ms", mezzo < 50});
    righe.push_back({"drop to first line, default settings, 20 jobs: 90th percentile",
                     formato("%.1f ms", novanta), "< 100 ms", novanta < 100});
    const std::vector<double> col_poll = banco.latenze(20, false);
    altre.push_back({"  the same on the poll alone: median, 90th percentile",
                     formato("%.0f ms, ", quantile(col_poll, 0.5)) +
                         formato("%.0f ms", quantile(col_poll, 0.9)),
                     "",
                     {}});
  }
  if (misura("idle")) {
    const double riposo = banco.cpu_a_riposo(std::chrono::seconds(5)).quota;
    righe.push_back({"idle, 500 ms poll, 5 s: CPU of one core", formato("%.3f %%", riposo),
                     "< 0.1 %", riposo < 0.1});
    const auto affollata = banco.cpu_a_riposo(std::chrono::seconds(5), true);
    righe.push_back({"idle, " + formato("%.0f", affollata.file_al_secondo) +
                         " files/s of another program in the folder: CPU of one core",
                     formato("%.3f %%", affollata.quota),
                     "",
                     {}});
  }

  righe.insert(righe.end(), altre.begin(), altre.end());
  std::printf("%-72s %14s %12s\n", "measure", "value", "target");
  bool tutte = true;
  for (const Riga& riga : righe) {
    const char* esito = !riga.riuscita ? "" : *riga.riuscita ? "ok" : "MISSED";
    std::printf("%-72s %14s %12s %s\n", riga.misura.c_str(), riga.valore.c_str(),
                riga.obiettivo.c_str(), esito);
    tutte = tutte && riga.riuscita.value_or(true);
  }
  return tutte ? 0 : 1;
}

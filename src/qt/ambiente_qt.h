#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

#include "app/principale.h"
#include "support/sistema.h"

class QSocketNotifier;

namespace borvan::qt {

// The system the main window runs on: one instance per installation, the clocks, the end.
class AmbienteQt : public Ambiente {
 public:
  explicit AmbienteQt(const QString& cartella_eseguibile);
  ~AmbienteQt() override;
  AmbienteQt(const AmbienteQt&) = delete;
  AmbienteQt& operator=(const AmbienteQt&) = delete;

  bool altra_istanza_attiva() override;
  void termina() override;
  DataOra adesso() override;
  int64_t millisecondi() override;

  // SIGTERM, SIGINT and SIGHUP end the program through `termina`, as the close button's Yes
  // does, but from the event loop, so that no file is ever left half-written.
  void termina_ai_segnali(std::function<void()> termina);

 private:
  std::string percorso_blocco_;
  BloccoIstanza blocco_;
  QElapsedTimer orologio_;
  QSocketNotifier* notifica_segnali_ = nullptr;
  std::function<void()> termina_ai_segnali_;
};

}  // namespace borvan::qt

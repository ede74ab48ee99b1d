#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

#include "app/principale.h"

namespace borvan::qt {

// The system the main window runs on: one instance per installation, the clock, the end.
class AmbienteQt : public Ambiente {
 public:
  explicit AmbienteQt(const QString& cartella_eseguibile);

  bool altra_istanza_attiva() override;
  void termina() override;
  DataOra adesso() override;
  void mostra_configurazione() override;

  void imposta_configurazione(std::function<void()> mostra) { configurazione_ = std::move(mostra); }

 private:
  // Held for the program's life; the system releases it with a killed process, and a lock
  // whose owner no longer runs is taken over.
  std::unique_ptr<QLockFile> blocco_;
  std::function<void()> configurazione_;
};

// The lock that tells a running instance of the program in that folder.
QString percorso_blocco(const QString& cartella_eseguibile);

}  // namespace borvan::qt

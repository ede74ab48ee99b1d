#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/principale.h"

namespace borvan::win32 {

// The system the main window runs on: one instance per installation, the clock, the end.
class AmbienteLocale : public Ambiente {
 public:
  explicit AmbienteLocale(const std::string& cartella_eseguibile);
  ~AmbienteLocale() override;
  AmbienteLocale(const AmbienteLocale&) = delete;
  AmbienteLocale& operator=(const AmbienteLocale&) = delete;

  bool altra_istanza_attiva() override;
  void termina() override;
  DataOra adesso() override;
  void mostra_configurazione() override;

  void imposta_configurazione(std::function<void()> mostra) { configurazione_ = std::move(mostra); }

 private:
  std::string nome_blocco_;
  HANDLE blocco_ = nullptr;
  std::function<void()> configurazione_;
};

}  // namespace borvan::win32

#pragma once

#include <functional>
#include <string>

#include "app/principale.h"

namespace borvan::win32 {

// The system the main window runs on, on Windows: one instance per installation, the clocks,
// the end.
class AmbienteWin32 : public Ambiente {
 public:
  explicit AmbienteWin32(const std::string& cartella_eseguibile);
  ~AmbienteWin32() override;
  AmbienteWin32(const AmbienteWin32&) = delete;
  AmbienteWin32& operator=(const AmbienteWin32&) = delete;

  bool altra_istanza_attiva() override;
  void termina() override;
  DataOra adesso() override;
  int64_t millisecondi() override;
  void mostra_configurazione() override;

  void imposta_configurazione(std::function<void()> mostra) { configurazione_ = std::move(mostra); }
  // What runs as the program ends, before anything else stops: letting the register's control
  // go. It gets a few seconds; a control that hangs there does not keep the program alive.
  void imposta_fine(std::function<void()> fine) { fine_ = std::move(fine); }

  // The folder of the running executable, in the system's ANSI code page.
  static std::string cartella_eseguibile();

 private:
  std::string nome_blocco_;
  void* blocco_ = nullptr;  // the mutex, held for the program's life
  std::function<void()> configurazione_;
  std::function<void()> fine_;
};

// The name of the mutex that keeps one instance per installation: "Local\BorvanIF-" and a
// hash of the application folder, written out long and upper-cased, as Windows compares names.
std::string nome_blocco(const std::string& cartella_eseguibile);

}  // namespace borvan::win32

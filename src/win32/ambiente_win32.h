#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/principale.h"
#include "support/sistema.h"

namespace borvan::win32 {

// The system the main window runs on, on Windows: one instance per installation, the clocks,
// the end.
class AmbienteWin32 : public Ambiente {
 public:
  explicit AmbienteWin32(const std::string& cartella_eseguibile);

  bool altra_istanza_attiva() override;
  bool istanza_visibile() override;
  void termina() override;
  DataOra adesso() override;
  int64_t millisecondi() override;
  // The command files' notes, and what the start-up found before the window existed.
  std::vector<std::string> avvertenze(const std::string& file_input) override;
  void aggiungi_avvertenza(std::string nota) { avvertenze_.push_back(std::move(nota)); }

  // What runs as the program ends, before anything else stops: letting the register's control
  // go. It gets a few seconds; a control that hangs there does not keep the program alive.
  void imposta_fine(std::function<void()> fine) { fine_ = std::move(fine); }

  // The folder of the running executable, in the system's ANSI code page; nothing when that
  // code page cannot spell its name, since every file of the program would then be missed.
  static std::optional<std::string> cartella_eseguibile();
  // The same folder as the system names it.
  static std::wstring cartella_eseguibile_unicode();

 private:
  std::string percorso_blocco_;
  BloccoIstanza blocco_;  // held for the program's life
  std::function<void()> fine_;
  std::vector<std::string> avvertenze_;
};

// The text in the system's ANSI code page; nothing when a character has no place in it.
std::optional<std::string> in_ansi(const std::wstring& testo);

}  // namespace borvan::win32

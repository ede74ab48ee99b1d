#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/controlli.h"
#include "win32/ciclo.h"
#include "win32/modulo.h"

namespace borvan::win32 {

// A core watch over ReadDirectoryChangesW, its completion waited for by the main loop. It
// listens for the watched name being created, renamed into place or written, and reads what the
// system reports at most once every `pausa` ms: a burst of changes is one run of the handler,
// and a folder busy with other files costs one read a pause, never a poll. A folder on a share
// that stopped answering never holds the window: it is opened on a thread of its own, waited
// for `attesa_apertura` ms at most, and let go on another.
class VistaSorveglianza {
 public:
  static constexpr int32_t pausa = 10;
  static constexpr DWORD attesa_apertura = 1000;

  VistaSorveglianza(Sorveglianza& sorveglianza, Modulo& modulo, std::function<void()> cambio);
  ~VistaSorveglianza();
  VistaSorveglianza(const VistaSorveglianza&) = delete;
  VistaSorveglianza& operator=(const VistaSorveglianza&) = delete;

 private:
  void aggiorna();
  void imposta();
  bool apri();
  bool chiedi();
  void smetti();
  void segnalata();
  void raccogli();
  void leggi();
  bool riguarda(const std::vector<BYTE>& avvisi, DWORD lunghezza) const;

  Sorveglianza& sorveglianza_;
  Ciclo& ciclo_;
  Legame legame_;
  std::function<void()> cambio_;
  HANDLE cartella_ = INVALID_HANDLE_VALUE;
  HANDLE evento_;
  // The request and the buffer the system writes into, for as long as it may.
  struct Richiesta {
    OVERLAPPED ov{};
    std::vector<BYTE> avvisi;
  };
  std::unique_ptr<Richiesta> richiesta_;
  bool in_attesa_ = false;  // a request to the system is pending
  // An opening still under way on its thread, that the window stopped waiting for.
  struct Apertura;
  std::shared_ptr<Apertura> apertura_;
  std::unique_ptr<Attesa> attesa_;
  Temporizzatore lettura_;
  std::string percorso_;
  std::string nome_;
  std::wstring nome_largo_;
  uint64_t richieste_ = 0;
  bool cambiata_ = false;  // a change or a request waits for the next read
};

}  // namespace borvan::win32

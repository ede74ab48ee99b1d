#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "support/controlli.h"

class QSocketNotifier;

namespace borvan::qt {

// A core watch over the system's inotify. It listens for the watched name being closed after
// writing or renamed into place (a file still being written is no job yet), and reads what the
// system reports at most once every `pausa` ms: a burst of changes is one run of the handler,
// and a folder busy with other files costs one read a pause, never a poll.
class VistaSorveglianza : public QObject {
 public:
  static constexpr int pausa = 10;

  VistaSorveglianza(Sorveglianza& sorveglianza, std::function<void()> cambio, QObject* genitore);
  ~VistaSorveglianza() override;
  VistaSorveglianza(const VistaSorveglianza&) = delete;
  VistaSorveglianza& operator=(const VistaSorveglianza&) = delete;

 private:
  void aggiorna();
  void imposta();
  void smetti();
  void leggi();

  Sorveglianza& sorveglianza_;
  Legame legame_;
  std::function<void()> cambio_;
  int inotify_ = -1;
  int osservata_ = -1;  // the folder's watch descriptor
  QSocketNotifier* avvisi_ = nullptr;
  QTimer lettura_;
  std::string cartella_;
  std::string nome_;
  uint64_t richieste_ = 0;
  bool cambiata_ = false;  // a change or a request waits for the next read
};

}  // namespace borvan::qt

#include "qt/ambiente_qt.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace borvan::qt {

namespace {

int segnale_scrittura = -1;

void al_segnale(int) {
  const char byte = 0;
  const ssize_t scritto = ::write(segnale_scrittura, &byte, 1);
  static_cast<void>(scritto);  // a full pipe already carries an end
}

}  // namespace

AmbienteQt::AmbienteQt(const QString& cartella_eseguibile)
    : percorso_blocco_(QFile::encodeName(QDir(cartella_eseguibile).filePath(nome_blocco))) {
  orologio_.start();
}

AmbienteQt::~AmbienteQt() {
  delete notifica_segnali_;
}

bool AmbienteQt::altra_istanza_attiva() {
  return !blocco_.prendi(percorso_blocco_);
}

void AmbienteQt::termina() {
  std::fflush(nullptr);
  std::_Exit(0);
}

DataOra AmbienteQt::adesso() {
  const QDateTime ora = QDateTime::currentDateTime();
  return {ora.date().year(), ora.date().month(),  ora.date().day(),
          ora.time().hour(), ora.time().minute(), ora.time().second()};
}

int64_t AmbienteQt::millisecondi() {
  return orologio_.elapsed();
}

void AmbienteQt::termina_ai_segnali(std::function<void()> termina) {
  int coppia[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, coppia) != 0) return;
  segnale_scrittura = coppia[0];
  termina_ai_segnali_ = std::move(termina);
  notifica_segnali_ = new QSocketNotifier(coppia[1], QSocketNotifier::Read);
  // Read, so that an end that must wait for a register call does not wake the loop meanwhile.
  QObject::connect(notifica_segnali_, &QSocketNotifier::activated, [this, lettura = coppia[1]] {
    char byte[16];
    while (::read(lettura, byte, sizeof byte) > 0) {
    }
    termina_ai_segnali_();
  });
  struct sigaction azione {};
  azione.sa_handler = al_segnale;
  sigemptyset(&azione.sa_mask);
  azione.sa_flags = SA_RESTART;
  for (const int segnale : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(segnale, &azione, nullptr);
}

}  // namespace borvan::qt

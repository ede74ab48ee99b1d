#include "qt/ambiente_qt.h"

#include <fcntl.h>
#include <sys/file.h>
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

QString percorso_blocco(const QString& cartella_eseguibile) {
  // One instance per installation: the lock lives in the program's folder.
  return QDir(cartella_eseguibile).filePath("BorvanIF.LCK");
}

AmbienteQt::AmbienteQt(const QString& cartella_eseguibile)
    : percorso_blocco_(percorso_blocco(cartella_eseguibile)) {
  orologio_.start();
}

AmbienteQt::~AmbienteQt() {
  delete notifica_segnali_;
  if (blocco_ >= 0) ::close(blocco_);
}

bool AmbienteQt::altra_istanza_attiva() {
  if (blocco_ < 0)
    blocco_ =
        ::open(QFile::encodeName(percorso_blocco_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A lock the system holds for a process: a killed holder keeps nobody out.
  return blocco_ >= 0 && ::flock(blocco_, LOCK_EX | LOCK_NB) != 0;
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

void AmbienteQt::mostra_configurazione() {
  if (configurazione_) configurazione_();
}

void AmbienteQt::termina_ai_segnali(std::function<void()> termina) {
  int coppia[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, coppia) != 0) return;
  segnale_scrittura = coppia[0];
  termina_ai_segnali_ = std::move(termina);
  notifica_segnali_ = new QSocketNotifier(coppia[1], QSocketNotifier::Read);
  QObject::connect(notifica_segnali_, &QSocketNotifier::activated,
                   [this] { termina_ai_segnali_(); });
  struct sigaction azione {};
  azione.sa_handler = al_segnale;
  sigemptyset(&azione.sa_mask);
  azione.sa_flags = SA_RESTART;
  for (const int segnale : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(segnale, &azione, nullptr);
}

}  // namespace borvan::qt

#include "qt/ambiente_qt.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace borvan::qt {

QString percorso_blocco(const QString& cartella_eseguibile) {
  // One instance per installation: the lock is named after the program's folder.
  const QByteArray impronta =
      QCryptographicHash::hash(QDir(cartella_eseguibile).canonicalPath().toUtf8(),
                               QCryptographicHash::Sha1)
          .toHex()
          .left(16);
  return QDir::temp().filePath("BorvanIF-" + QString::fromLatin1(impronta) + ".lock");
}

AmbienteQt::AmbienteQt(const QString& cartella_eseguibile)
    : blocco_(std::make_unique<QLockFile>(percorso_blocco(cartella_eseguibile))) {
  blocco_->setStaleLockTime(0);
}

bool AmbienteQt::altra_istanza_attiva() {
  return !blocco_->tryLock(0);
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

void AmbienteQt::mostra_configurazione() {
  if (configurazione_) configurazione_();
}

}  // namespace borvan::qt

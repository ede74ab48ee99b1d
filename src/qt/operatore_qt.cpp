#include "qt/operatore_qt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "qt/dialogo_errore.h"
#include "qt/schermo_qt.h"

namespace borvan::qt {

namespace {

QMessageBox::Icon icona_qt(Icona icona) {
  switch (icona) {
    case Icona::domanda:
      return QMessageBox::Question;
    case Icona::errore:
      return QMessageBox::Critical;
    case Icona::nessuna:
      break;
  }
  return QMessageBox::NoIcon;
}

QRect schermo() {
  const QScreen* primo = QGuiApplication::primaryScreen();
  return primo ? primo->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

void OperatoreQt::messaggio(const std::string& testo, Icona icona) {
  QMessageBox box(icona_qt(icona), titolo_applicazione, a_schermo(testo), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

bool OperatoreQt::domanda(const std::string& testo) {
  QMessageBox box(QMessageBox::Question, titolo_applicazione, a_schermo(testo),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> OperatoreQt::chiedi_testo(const std::string& prompt) {
  QInputDialog box(QApplication::activeWindow());
  box.setInputMode(QInputDialog::TextInput);
  box.setLabelText(a_schermo(prompt));
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return dallo_schermo(box.textValue());
}

void OperatoreQt::mostra_form_errore(const std::string& testo_errore, int32_t& risposta_errore) {
  if (errori_ == nullptr) return;
  DialogoErrore dialogo(testo_errore, risposta_errore, *this, *errori_,
                        QApplication::activeWindow());
  dialogo.esegui();
}

std::optional<std::string> OperatoreQt::salva_file(const RichiestaSalvaFile&) {
  return std::nullopt;
}

double OperatoreQt::larghezza_schermo() const {
  return twips(schermo().width());
}
double OperatoreQt::altezza_schermo() const {
  return twips(schermo().height());
}

void OperatoreQt::imposta_puntatore(int16_t stile) {
  // Style 99 has no image of its own: it shows the busy pointer it is used for.
  const bool occupato = stile != puntatore_normale;
  const bool era_occupato = stile_ != puntatore_normale;
  stile_ = stile;
  if (occupato && !era_occupato) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!occupato && era_occupato) QApplication::restoreOverrideCursor();
}

}  // namespace borvan::qt

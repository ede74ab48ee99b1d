#include "qt/operatore_qt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "qt/dialogo_errore.h"
#include "qt/schermo_qt.h"
#include "support/nome_programma.h"
#include "support/scegli_file.h"

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

// The chooser's filters from the NUL-separated description and pattern pairs: each pair as
// "description (patterns)", the patterns shown by the description alone. "*.*" takes every
// file, names without an extension too, as it does on the system the lists were written for.
QStringList filtri_qt(const std::string& filtro) {
  // The parts up to the empty one that ends the list.
  std::vector<std::string> parti;
  size_t inizio = 0;
  while (inizio < filtro.size()) {
    const size_t fine = std::min(filtro.find('\0', inizio), filtro.size());
    if (fine == inizio) break;
    parti.push_back(filtro.substr(inizio, fine - inizio));
    inizio = fine + 1;
  }
  QStringList filtri;
  for (size_t i = 0; i + 1 < parti.size(); i += 2) {
    QStringList modelli;
    for (const QString& modello : testi.a_schermo(parti[i + 1]).split(';', Qt::SkipEmptyParts)) {
      const QString pulito = modello.trimmed();
      if (!pulito.isEmpty()) modelli << (pulito == "*.*" ? QString("*") : pulito);
    }
    if (modelli.isEmpty()) continue;
    filtri << testi.a_schermo(parti[i]) + " (" + modelli.join(' ') + ")";
  }
  return filtri;
}

QRect schermo() {
  const QScreen* primo = QGuiApplication::primaryScreen();
  return primo ? primo->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

void OperatoreQt::messaggio(const std::string& testo, Icona icona) {
  QMessageBox box(icona_qt(icona), nome_programma, testi.a_schermo(testo), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

bool OperatoreQt::domanda(const std::string& testo) {
  QMessageBox box(QMessageBox::Question, nome_programma, testi.a_schermo(testo),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> OperatoreQt::chiedi_testo(const std::string& prompt) {
  QInputDialog box(QApplication::activeWindow());
  box.setInputMode(QInputDialog::TextInput);
  box.setLabelText(testi.a_schermo(prompt));
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return testi.dallo_schermo(box.textValue());
}

void OperatoreQt::mostra_form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                                     GestoreErrori& errori) {
  DialogoErrore dialogo(testo_errore, risposta_errore, *this, errori, QApplication::activeWindow());
  dialogo.esegui();
}

std::optional<std::string> OperatoreQt::salva_file(const RichiestaSalvaFile& richiesta) {
  QFileDialog box(richiesta.con_proprietario ? QApplication::activeWindow() : nullptr,
                  testi.a_schermo(richiesta.titolo));
  // Not the platform's own chooser: it behaves the same everywhere. No question before an
  // existing file is chosen, no extension added.
  box.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                 QFileDialog::HideNameFilterDetails);
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  box.setDefaultSuffix(QString());
  const QStringList filtri = filtri_qt(richiesta.filtro);
  if (!filtri.isEmpty()) {
    box.setNameFilters(filtri);
    const qsizetype indice = richiesta.indice_filtro - 1;
    box.selectNameFilter(filtri.at(indice >= 0 && indice < filtri.size() ? indice : 0));
  }
  if (!richiesta.cartella_iniziale.empty())
    box.setDirectory(percorsi.a_schermo(richiesta.cartella_iniziale));
  const std::string nome = stringa_da_buffer(richiesta.buffer_nome);
  if (!nome.empty()) box.selectFile(percorsi.a_schermo(nome));

  if (box.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList scelti = box.selectedFiles();
  if (scelti.isEmpty()) return std::nullopt;
  return percorsi.dallo_schermo(QDir::toNativeSeparators(scelti.first()));
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

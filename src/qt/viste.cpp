#include "qt/viste.h"

#include <memory>

#include "qt/schermo_qt.h"

namespace borvan::qt {

void protetto(const std::function<void()>& gestore) {
  // The core traps its run-time errors; anything that still escapes must not reach the
  // toolkit's event loop, which cannot unwind through it.
  try {
    gestore();
  } catch (const std::exception& e) {
    qWarning("BorvanIF: errore non gestito: %s", e.what());
  } catch (...) {
    qWarning("BorvanIF: errore non gestito");
  }
}

QPushButton* pulsante(QWidget* genitore, const char* nome, QRect dove, QPushButton* pulsante) {
  if (pulsante == nullptr) pulsante = new QPushButton(genitore);
  pulsante->setObjectName(nome);
  pulsante->setGeometry(dove);
  pulsante->setAutoDefault(false);
  pulsante->setDefault(false);
  return pulsante;
}

void anteprima_tasti(QWidget* finestra) {
  finestra->installEventFilter(finestra);
  for (QWidget* figlio : finestra->findChildren<QWidget*>()) figlio->installEventFilter(finestra);
}

void collega(Label& etichetta, QLabel* widget) {
  auto aggiorna = [&etichetta, widget] {
    const QString testo = a_schermo(etichetta.Caption());
    if (widget->text() != testo) widget->setText(testo);
  };
  etichetta.osserva(aggiorna);
  aggiorna();
}

void collega(Button& pulsante, QPushButton* widget, std::function<void()> click) {
  auto aggiorna = [&pulsante, widget] {
    widget->setText(a_schermo(pulsante.Caption()));
    widget->setVisible(pulsante.Visible());
  };
  pulsante.osserva(aggiorna);
  aggiorna();
  QObject::connect(widget, &QPushButton::clicked, widget,
                   [click = std::move(click)] { protetto(click); });
}

void collega(TextBox& casella, QLineEdit* widget) {
  auto aggiorna = [&casella, widget] {
    const QString testo = a_schermo(casella.Text());
    if (widget->text() != testo) widget->setText(testo);
  };
  casella.osserva(aggiorna);
  aggiorna();
  QObject::connect(widget, &QLineEdit::textEdited, widget, [&casella](const QString& testo) {
    casella.setText_dall_utente(dallo_schermo(testo));
  });
}

void collega(CheckBox& casella, QCheckBox* widget) {
  auto aggiorna = [&casella, widget] { widget->setChecked(casella.Value() == 1); };
  casella.osserva(aggiorna);
  aggiorna();
  QObject::connect(widget, &QCheckBox::toggled, widget,
                   [&casella](bool spuntata) { casella.setValue_dall_utente(spuntata ? 1 : 0); });
}

void collega(TabStrip& schede, QTabWidget* widget) {
  auto aggiorna = [&schede, widget] {
    if (widget->currentIndex() != schede.Tab()) widget->setCurrentIndex(schede.Tab());
  };
  schede.osserva(aggiorna);
  aggiorna();
  QObject::connect(widget, &QTabWidget::currentChanged, widget, [&schede](int indice) {
    schede.setTab_dall_utente(static_cast<int16_t>(indice));
  });
}

void collega(Window& finestra, QWidget* widget, std::function<void()> chiudi) {
  // Only a position the core sets moves the window: the user may have moved it since.
  auto posizione = std::make_shared<QPoint>(pixel(finestra.Left()), pixel(finestra.Top()));
  auto aggiorna = [&finestra, widget, posizione, chiudi = std::move(chiudi)] {
    widget->setWindowTitle(a_schermo(finestra.Caption()));
    const QPoint voluta(pixel(finestra.Left()), pixel(finestra.Top()));
    if (voluta != *posizione) {
      *posizione = voluta;
      widget->move(voluta);
    }
    if (finestra.WindowState() == Window::Stato::ridotta && !widget->isMinimized())
      widget->showMinimized();
    if (finestra.scaricata()) chiudi();
  };
  finestra.setSize_dalla_vista(twips(widget->frameGeometry().width()),
                               twips(widget->frameGeometry().height()));
  finestra.osserva(aggiorna);
  widget->setWindowTitle(a_schermo(finestra.Caption()));
}

VistaTimer::VistaTimer(Timer& timer, std::function<void()> tick, QObject* genitore)
    : QObject(genitore), timer_(timer), qtimer_(this) {
  qtimer_.setTimerType(Qt::PreciseTimer);
  connect(&qtimer_, &QTimer::timeout, this, [tick = std::move(tick)] { protetto(tick); });
  timer_.osserva([this] { aggiorna(); });
  aggiorna();
}

void VistaTimer::aggiorna() {
  const bool cambiato = timer_.Interval() != intervallo_ || timer_.Enabled() != attivo_;
  intervallo_ = timer_.Interval();
  attivo_ = timer_.Enabled();
  if (!cambiato) return;
  // A timer whose interval changes while it runs starts counting again, as a window timer does.
  if (attivo_ && intervallo_ > 0)
    qtimer_.start(intervallo_ <= 1 ? 0 : intervallo_);
  else
    qtimer_.stop();
}

VistaLista::VistaLista(ListBox& lista, QListView* vista)
    : QAbstractListModel(vista), lista_(lista), vista_(vista) {
  vista_->setUniformItemSizes(true);
  vista_->setModel(this);
  rinfresco_.setSingleShot(true);
  // 25 refreshes a second keep the printed line in sight; each repaint (some 0.6 ms) holds the
  // next line back, so at 60 a second a slow register would wait some 4 % longer for a job.
  rinfresco_.setInterval(40);
  connect(&rinfresco_, &QTimer::timeout, this, [this] { aggiorna(); });
  lista_.osserva([this] {
    if (!rinfresco_.isActive()) rinfresco_.start();
  });
}

int VistaLista::rowCount(const QModelIndex& genitore) const {
  return genitore.isValid() ? 0 : righe_mostrate_;
}

QVariant VistaLista::data(const QModelIndex& indice, int ruolo) const {
  if (ruolo != Qt::DisplayRole || !indice.isValid() || indice.row() >= lista_.ListCount())
    return {};
  return a_schermo(lista_.righe()[static_cast<size_t>(indice.row())]);
}

void VistaLista::aggiorna() {
  if (lista_.revisione() != revisione_mostrata_) {
    beginResetModel();
    righe_mostrate_ = lista_.ListCount();
    revisione_mostrata_ = lista_.revisione();
    endResetModel();
    indice_mostrato_ = -1;
  }
  if (lista_.ListIndex() == indice_mostrato_) return;
  indice_mostrato_ = lista_.ListIndex();
  if (indice_mostrato_ < 0) {
    vista_->clearSelection();
    return;
  }
  const QModelIndex corrente = index(indice_mostrato_);
  vista_->setCurrentIndex(corrente);
  vista_->scrollTo(corrente);
}

}  // namespace borvan::qt

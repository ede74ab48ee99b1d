#include "qt/viste.h"

#include <QKeyEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "qt/protetto.h"
#include "qt/schermo_qt.h"

namespace borvan::qt {

namespace {

// Holds a control's link for as long as its widget lives, and carries the widget's
// connections to the control, which act only while the control exists.
class Collegamento : public QObject {
 public:
  Collegamento(Controllo& controllo, QObject* widget, const std::function<void()>& aggiorna)
      : QObject(widget), legame_(controllo.osserva(aggiorna)) {}
  bool attivo() const { return legame_.attivo(); }

 private:
  Legame legame_;
};

// Links a control to its widget and brings the widget up to date.
Collegamento* lega(Controllo& controllo, QObject* widget, const std::function<void()>& aggiorna) {
  auto* collegamento = new Collegamento(controllo, widget, aggiorna);
  aggiorna();
  return collegamento;
}

// Sees the window's keys first, for its Form_KeyPress.
class AnteprimaTasti : public QObject {
 public:
  AnteprimaTasti(QWidget* finestra, std::initializer_list<int16_t> codici,
                 std::function<void(int16_t&)> form_keypress)
      : QObject(finestra), codici_(codici), form_keypress_(std::move(form_keypress)) {}

 protected:
  bool eventFilter(QObject* /*oggetto*/, QEvent* evento) override {
    if (evento->type() != QEvent::KeyPress) return false;
    const int tasto = static_cast<QKeyEvent*>(evento)->key();
    int16_t codice = 0;
    if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) codice = 13;
    if (tasto == Qt::Key_Escape) codice = 27;
    if (codice == 0 || std::find(codici_.begin(), codici_.end(), codice) == codici_.end())
      return false;
    protetto([&] { form_keypress_(codice); });
    return true;
  }

 private:
  std::vector<int16_t> codici_;
  std::function<void(int16_t&)> form_keypress_;
};

}  // namespace

void anteprima_tasti(QWidget* finestra, std::initializer_list<int16_t> codici,
                     std::function<void(int16_t&)> form_keypress) {
  auto* anteprima = new AnteprimaTasti(finestra, codici, std::move(form_keypress));
  finestra->installEventFilter(anteprima);
  for (QWidget* figlio : finestra->findChildren<QWidget*>()) figlio->installEventFilter(anteprima);
}

void collega(Label& etichetta, QLabel* widget) {
  lega(etichetta, widget, [&etichetta, widget] {
    const QString testo = testi.a_schermo(etichetta.Caption());
    if (widget->text() != testo) widget->setText(testo);
  });
}

void collega(Button& pulsante, QPushButton* widget, std::function<void()> click) {
  auto* collegamento = lega(pulsante, widget, [&pulsante, widget] {
    widget->setText(testi.a_schermo(pulsante.Caption()));
    widget->setVisible(pulsante.Visible());
  });
  QObject::connect(widget, &QPushButton::clicked, collegamento,
                   [collegamento, click = std::move(click)] {
                     if (collegamento->attivo()) protetto(click);
                   });
}

void collega(TextBox& casella, QLineEdit* widget, const Conversione& conversione) {
  auto* collegamento = lega(casella, widget, [&casella, widget, conversione] {
    const QString testo = conversione.a_schermo(casella.Text());
    if (widget->text() != testo) widget->setText(testo);
  });
  QObject::connect(widget, &QLineEdit::textEdited, collegamento,
                   [&casella, collegamento, conversione](const QString& testo) {
                     if (collegamento->attivo())
                       casella.setText_dall_utente(conversione.dallo_schermo(testo));
                   });
}

void collega(CheckBox& casella, QCheckBox* widget) {
  auto* collegamento =
      lega(casella, widget, [&casella, widget] { widget->setChecked(casella.Value() == 1); });
  QObject::connect(widget, &QCheckBox::toggled, collegamento,
                   [&casella, collegamento](bool spuntata) {
                     if (collegamento->attivo()) casella.setValue_dall_utente(spuntata ? 1 : 0);
                   });
}

void collega(TabStrip& schede, QTabWidget* widget) {
  auto* collegamento = lega(schede, widget, [&schede, widget] {
    if (widget->currentIndex() != schede.Tab()) widget->setCurrentIndex(schede.Tab());
  });
  QObject::connect(widget, &QTabWidget::currentChanged, collegamento,
                   [&schede, collegamento](int indice) {
                     if (collegamento->attivo())
                       schede.setTab_dall_utente(static_cast<int16_t>(indice));
                   });
}

void collega(Window& finestra, QWidget* widget, std::function<void()> chiudi) {
  // Only a position the core sets moves the window: the user may have moved it since.
  auto posizione = std::make_shared<QPoint>(pixel(finestra.Left()), pixel(finestra.Top()));
  finestra.setSize_dalla_vista(twips(widget->frameGeometry().width()),
                               twips(widget->frameGeometry().height()));
  new Collegamento(finestra, widget, [&finestra, widget, posizione, chiudi = std::move(chiudi)] {
    widget->setWindowTitle(testi.a_schermo(finestra.Caption()));
    const QPoint voluta(pixel(finestra.Left()), pixel(finestra.Top()));
    if (voluta != *posizione) {
      *posizione = voluta;
      widget->move(voluta);
    }
    if (finestra.WindowState() == Window::Stato::ridotta && !widget->isMinimized())
      widget->showMinimized();
    if (finestra.scaricata()) chiudi();
  });
  widget->setWindowTitle(testi.a_schermo(finestra.Caption()));
}

VistaTimer::VistaTimer(Timer& timer, std::function<void()> tick, QObject* genitore)
    : QObject(genitore), timer_(timer), qtimer_(this) {
  qtimer_.setTimerType(Qt::PreciseTimer);
  legame_ = timer_.osserva([this] { aggiorna(); });
  connect(&qtimer_, &QTimer::timeout, this, [this, tick = std::move(tick)] {
    if (legame_.attivo()) protetto(tick);
  });
  aggiorna();
}

void VistaTimer::aggiorna() {
  if (!legame_.attivo()) return;
  const int32_t intervallo = timer_.Interval();
  if (timer_.Enabled() && intervallo > 0)
    qtimer_.start(intervallo <= 1 ? 0 : intervallo);
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
  legame_ = lista_.osserva([this] {
    if (!rinfresco_.isActive()) rinfresco_.start();
  });
}

int VistaLista::rowCount(const QModelIndex& genitore) const {
  return genitore.isValid() || !legame_.attivo() ? 0 : righe_mostrate_;
}

QVariant VistaLista::data(const QModelIndex& indice, int ruolo) const {
  if (ruolo != Qt::DisplayRole || !indice.isValid() || !legame_.attivo() ||
      indice.row() >= lista_.ListCount())
    return {};
  return testi.a_schermo(lista_.righe()[static_cast<size_t>(indice.row())]);
}

void VistaLista::aggiorna() {
  if (!legame_.attivo()) return;
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

#include "qt/disegno.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>

#include "qt/pulsante_grafico.h"
#include "qt/schermo_qt.h"

namespace borvan::qt {

namespace {

QWidget* nuovo(QWidget* finestra, const DisegnoControllo& disegno) {
  const QString caption = testi.a_schermo(disegno.caption);
  switch (disegno.genere) {
    case Genere::etichetta: {
      auto* etichetta = new QLabel(caption, finestra);
      if (disegno.allineamento == Allineamento::destra)
        etichetta->setAlignment(Qt::AlignRight | Qt::AlignTop);
      return etichetta;
    }
    case Genere::lista: {
      auto* lista = new QListView(finestra);
      lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
      lista->setSelectionMode(QAbstractItemView::SingleSelection);
      return lista;
    }
    case Genere::pulsante: {
      QPushButton* pulsante =
          disegno.grafico() ? pulsante_grafico(finestra, disegno) : new QPushButton(finestra);
      pulsante->setText(caption);
      // No window of the program has a default button: Enter presses none, not even the one
      // that has the focus.
      pulsante->setAutoDefault(false);
      pulsante->setDefault(false);
      return pulsante;
    }
    case Genere::casella:
      return new QLineEdit(finestra);
    case Genere::spunta:
      return new QCheckBox(caption, finestra);
    case Genere::schede: {
      auto* schede = new QTabWidget(finestra);
      for (const char* titolo : disegno.schede)
        schede->addTab(new QWidget, testi.a_schermo(titolo));
      return schede;
    }
    case Genere::riquadro: {
      auto* riquadro = new QFrame(finestra);
      riquadro->setFrameShape(QFrame::Panel);
      riquadro->setFrameShadow(QFrame::Sunken);
      return riquadro;
    }
    case Genere::registratore:
      break;  // no widget hosts the register here
  }
  return nullptr;
}

}  // namespace

void crea_controlli(QWidget* finestra, const DisegnoModulo& disegno) {
  finestra->setFixedSize(pixel(disegno.larghezza), pixel(disegno.altezza));
  finestra->setFont(carattere_moduli(disegno.carattere));
  QWidget* precedente = nullptr;
  for (const DisegnoControllo& riga : disegno.controlli) {
    QWidget* widget = nuovo(finestra, riga);
    if (widget == nullptr) continue;
    widget->setObjectName(riga.nome);
    widget->setGeometry(rettangolo(riga.posto));
    if (riga.carattere) widget->setFont(carattere_moduli(*riga.carattere));
    if (!riga.visibile) widget->hide();
    // The other controls stand on its page, above it.
    if (riga.genere == Genere::schede) widget->lower();
    if (!riga.prende_fuoco()) continue;
    if (precedente != nullptr) QWidget::setTabOrder(precedente, widget);
    precedente = widget;
  }
}

}  // namespace borvan::qt

#include "qt/viste.h"

#include <QTest>
#include <memory>

using namespace borvan;

class VisteTest : public QObject {
  Q_OBJECT

 private slots:
  // A widget destroyed first: the program's later changes reach nothing (ASan would see it).
  void aControlOutlivesItsWidgets() {
    Label etichetta;
    Timer timer;
    ListBox lista;
    auto* testo = new QLabel;
    auto* vista = new QListView;
    auto* genitore = new QObject;
    qt::collega(etichetta, testo);
    new qt::VistaTimer(
        timer, [] {}, genitore);
    new qt::VistaLista(lista, vista);
    delete testo;
    delete genitore;
    delete vista;
    etichetta.setCaption("dopo");
    timer.setInterval(5);
    timer.setEnabled(true);
    lista.AddItem("dopo");
    QCOMPARE(etichetta.Caption(), std::string("dopo"));
  }

  // A control destroyed first: the user's edits, the clicks and the ticks reach nothing.
  void aWidgetOutlivesItsControls() {
    QLineEdit riga;
    QPushButton pulsante;
    QListView vista;
    int click = 0, tick = 0;
    {
      TextBox casella;
      Button comando;
      Timer timer;
      ListBox lista;
      qt::collega(casella, &riga);
      qt::collega(comando, &pulsante, [&click] { ++click; });
      new qt::VistaTimer(
          timer, [&tick] { ++tick; }, &vista);
      auto* modello = new qt::VistaLista(lista, &vista);
      lista.AddItem("riga");
      modello->aggiorna();
      timer.setInterval(1);
      timer.setEnabled(true);
    }
    QTest::keyClicks(&riga, "dopo");
    pulsante.click();
    QTest::qWait(20);
    QCOMPARE(click, 0);
    QCOMPARE(tick, 0);
    QCOMPARE(vista.model()->rowCount(), 0);
    QCOMPARE(riga.text(), QString("dopo"));
  }
};

QTEST_MAIN(VisteTest)
#include "viste_test.moc"

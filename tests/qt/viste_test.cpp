#include "qt/viste.h"

#include <QDir>
#include <QTest>
#include <memory>

#include "comune/vista_sorveglianza.h"
#include "qt/sorveglianza.h"

using namespace borvan;

class VisteTest : public QObject {
  Q_OBJECT

 private slots:
  // The folder watch over inotify: one call for a burst of changes to the watched name, none
  // for other files; a folder missing at first is watched once it exists; the watch follows its
  // folder.
  void laSorveglianzaRiportaUnaVoltaOgniRaffica() {
    test::CartellaTemporanea cartella;
    Sorveglianza sorveglianza;
    int chiamate = 0;
    QObject genitore;
    new qt::VistaSorveglianza(
        sorveglianza, [&chiamate] { ++chiamate; }, &genitore);
    const auto gira = [](const std::function<bool()>& condizione, std::chrono::milliseconds entro) {
      static_cast<void>(QTest::qWaitFor(condizione, static_cast<int>(entro.count())));
    };
    const std::vector<std::string> visto =
        test::percorri_sorveglianza(sorveglianza, chiamate, cartella, gira);
    QVERIFY2(visto == test::sorveglianza_attesa, (visto.empty() ? "" : visto.back()).c_str());
  }

  // A widget destroyed first: the program's later changes reach nothing (ASan would see it).
  void unControlloSopravviveAiSuoiWidget() {
    Label etichetta;
    Timer timer;
    ListBox lista;
    Sorveglianza sorveglianza;
    auto* testo = new QLabel;
    auto* vista = new QListView;
    auto* genitore = new QObject;
    qt::collega(etichetta, testo);
    new qt::VistaTimer(
        timer, [] {}, genitore);
    new qt::VistaLista(lista, vista);
    new qt::VistaSorveglianza(
        sorveglianza, [] {}, genitore);
    delete testo;
    delete genitore;
    delete vista;
    etichetta.setCaption("dopo");
    timer.setInterval(5);
    timer.setEnabled(true);
    lista.AddItem("dopo");
    sorveglianza.sorveglia(QDir::tempPath().toStdString(), "dopo");
    sorveglianza.guarda_ancora();
    QCOMPARE(etichetta.Caption(), std::string("dopo"));
  }

  // A control destroyed first: the user's edits, the clicks and the ticks reach nothing.
  void unWidgetSopravviveAiSuoiControlli() {
    QLineEdit riga;
    QPushButton pulsante;
    QListView vista;
    int click = 0, tick = 0;
    {
      TextBox casella;
      Button comando;
      Timer timer;
      ListBox lista;
      Sorveglianza sorveglianza;
      qt::collega(casella, &riga);
      qt::collega(comando, &pulsante, [&click] { ++click; });
      new qt::VistaTimer(
          timer, [&tick] { ++tick; }, &vista);
      auto* modello = new qt::VistaLista(lista, &vista);
      new qt::VistaSorveglianza(
          sorveglianza, [&tick] { ++tick; }, &vista);
      lista.AddItem("riga");
      modello->aggiorna();
      timer.setInterval(1);
      timer.setEnabled(true);
      sorveglianza.sorveglia(QDir::tempPath().toStdString(), "riga");
      sorveglianza.guarda_ancora();  // its look comes after the watch has gone
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

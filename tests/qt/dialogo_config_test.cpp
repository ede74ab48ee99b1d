#include "qt/dialogo_config.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"
#include "qt/operatore_qt.h"
#include "qt/schermo_qt.h"

using namespace borvan;
using qt::DialogoConfig;

class DialogoConfigTest : public QObject {
  Q_OBJECT

  test::CartellaTemporanea cartella_;
  test::ErroriFinti errori_;
  qt::OperatoreQt operatore_;

  // Runs `azione` inside the dialog, shown over `config` in `cartella` (the test's folder when
  // empty); a box a failed case left open is cancelled after 3 s.
  void mostra(const std::function<void(DialogoConfig&)>& azione,
              const std::string& config = "POLLING_TIME=300\r\n", std::string cartella = "") {
    if (cartella.empty()) cartella = cartella_.cartella();
    std::ofstream(cartella + "BorvanIF.CFG", std::ios::binary) << config;
    DialogoConfig dialogo(cartella, operatore_, errori_);
    QTimer::singleShot(0, &dialogo, [&] { azione(dialogo); });
    QTimer scadenza;
    QObject::connect(&scadenza, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
    });
    scadenza.start(3000);
    dialogo.esegui();
  }

 private slots:
  // Placed by its twips, captions inside their places, Text1 first in the tab order. Enter
  // presses no button, the focused "OK" included; Esc closes without writing.
  void postiEOrdineDiTabulazioneSoloEscChiude() {
    mostra([](DialogoConfig& d) {
      QCOMPARE(d.text1->geometry(), qt::rettangolo(Config::disegno.controllo("Text1").posto));
      for (const QLabel* l : {d.label1, d.label2, d.label3, d.label4, d.label5, d.label6})
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(),
                 qPrintable(l->text()));
      QCOMPARE(d.focusWidget(), d.text1);
      std::vector<QWidget*> ordine;
      for (QWidget* w = d.text1; ordine.size() < 13; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
      QCOMPARE(ordine, (std::vector<QWidget*>{d.text1, d.command1, d.text2, d.command2, d.text3,
                                              d.check1, d.text4, d.command3, d.text5, d.text6,
                                              d.command4, d.command5, d.command6}));
      QTest::keyClicks(d.text5, "9");
      QTest::keyClick(d.text5, Qt::Key_Return);
      d.command4->setFocus();
      QTest::keyClick(d.command4, Qt::Key_Enter);
      QVERIFY(d.isVisible());
      QTest::keyClick(d.command4, Qt::Key_Escape);
      QVERIFY(!d.isVisible());
    });
    QCOMPARE(cartella_.leggi("BorvanIF.CFG"), std::string("POLLING_TIME=300\r\n"));
  }

  // The program folder and the chosen files have accented names: shown as the file system
  // spells them, written back byte for byte. A new name as it is, an existing one without a
  // question; cancelled, the box stays.
  void sfogliaMetteNellaCasellaIlPercorsoScelto() {
    const std::string citta = cartella_.percorso("citt\xc3\xa0") + "/";
    std::filesystem::create_directory(citta);
    std::ofstream(citta + "esistente \xc3\xa8.txt") << "x";
    const std::string comandi = "INPUT_FILE=" + citta + "comandi.ecr\r\n";
    for (const char* nome : {"nuovo \xc3\xb9.txt", "esistente \xc3\xa8.txt", ""}) {
      const QString scelto = QString::fromUtf8(citta + nome);
      mostra(
          [&](DialogoConfig& d) {
            QCOMPARE(d.text1->text(), QString::fromUtf8(citta + "comandi.ecr"));
            QTimer::singleShot(0, [&] {
              auto& f = *qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
              QCOMPARE(f.windowTitle(), QString("Selezionare il file"));
              QVERIFY(f.testOption(QFileDialog::DontUseNativeDialog));
              QCOMPARE(f.acceptMode(), QFileDialog::AcceptSave);
              QCOMPARE(f.nameFilters(), QStringList{"Tutti i file (*.*) (*)"});
              f.findChild<QLineEdit*>("fileNameEdit")->setText(scelto);  // typed, as by the user
              *nome ? static_cast<QDialog&>(f).accept() : f.reject();
            });
            d.command3->click();
            QCOMPARE(d.text4->text(), *nome ? scelto : QString("BorvanIF.LOG"));
            d.command4->click();
          },
          comandi, citta);
      const std::string scritto = cartella_.leggi("citt\xc3\xa0/BorvanIF.CFG");
      QVERIFY(scritto.find(comandi) != std::string::npos);
      const std::string log = *nome ? citta + nome : "BorvanIF.LOG";
      QVERIFY(scritto.find("LOG_FILE=" + log + "\r\n") != std::string::npos);
    }
  }
};

QTEST_MAIN(DialogoConfigTest)
#include "dialogo_config_test.moc"

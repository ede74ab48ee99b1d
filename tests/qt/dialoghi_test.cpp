#include "qt/dialogo_config.h"
#include "qt/dialogo_errore.h"

#include <QApplication>
#include <QFileDialog>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"
#include "qt/operatore_qt.h"

using namespace borvan;
using qt::DialogoConfig;
using qt::DialogoErrore;

class DialoghiTest : public QObject {
  Q_OBJECT

  test::CartellaTemporanea cartella_;
  test::ErroriFinti errori_;
  qt::OperatoreQt operatore_;

  // Runs `azione` inside the configuration dialog, shown over `config` in `cartella` (the test's
  // folder when empty); a box a failed case left open is cancelled after 3 s.
  void mostra_config(const std::function<void(DialogoConfig&)>& azione,
                     const std::string& config = "POLLING_TIME=300\r\n",
                     std::string cartella = "") {
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

  // Shows the error dialog modally; `azione` runs inside its event loop. Returns the answer.
  static int32_t mostra_errore(const std::function<void(DialogoErrore&)>& azione) {
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    int32_t risposta = 0;
    DialogoErrore dialogo("Descrizione : x\r\nSource : y\r\n", risposta, operatore, errori);
    QTimer::singleShot(50, &dialogo, [&dialogo, &azione] { azione(dialogo); });
    dialogo.esegui();
    return risposta;
  }

 private slots:
  // Captions inside their places, Text1 first in the tab order. Enter presses no button, the
  // focused "OK" included; Esc closes without writing.
  void postiEOrdineDiTabulazioneSoloEscChiude() {
    mostra_config([](DialogoConfig& d) {
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
      mostra_config(
          [&](DialogoConfig& d) {
            QCOMPARE(d.text1->text(), QString::fromUtf8(citta + "comandi.ecr"));
            QTimer::singleShot(0, [&] {
              auto& f = *qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
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

  // Enter retries and Esc gives up at once, focus anywhere (nullptr: the tab bar, on the second
  // tab); closed any other way, the answer is retry.
  void invioEEscRispondonoDaOgniControllo() {
    struct Caso {
      const char* fuoco;  // the control with the focus
      Qt::Key tasto;
      int32_t risposta;
    };
    for (const Caso& caso :
         {Caso{"Command2", Qt::Key_Return, 4}, Caso{"Command1", Qt::Key_Escape, 2},
          Caso{nullptr, Qt::Key_Enter, 4}}) {
      QCOMPARE(mostra_errore([&](DialogoErrore& d) {
                 d.sstab1->setCurrentIndex(caso.fuoco ? 0 : 1);
                 QWidget* dove =
                     caso.fuoco ? d.findChild<QWidget*>(caso.fuoco) : d.sstab1->tabBar();
                 dove->setFocus();
                 QTest::keyClick(dove, caso.tasto);
                 QVERIFY(!d.isVisible());
               }),
               caso.risposta);
    }
    QCOMPARE(mostra_errore([](DialogoErrore& d) { d.close(); }), 4);
  }

  // The message shown; the countdown, its ticks made quick, retries by itself.
  void ilContoAllaRovesciaRiprovaDaSolo() {
    bool scaduto = false;
    QCOMPARE(mostra_errore([&scaduto](DialogoErrore& d) {
               QCOMPARE(d.label1->text(), QString("Descrizione : x\r\nSource : y\r\n"));
               d.form().Timer1.setInterval(10);
               QTimer::singleShot(2000, &d, [&] {
                 scaduto = true;
                 d.reject();
               });
             }),
             4);
    QVERIFY(!scaduto);
  }
};

QTEST_MAIN(DialoghiTest)
#include "dialoghi_test.moc"

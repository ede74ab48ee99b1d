#include "qt/dialogo_errore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"

using borvan::qt::DialogoErrore;

class DialogoErroreTest : public QObject {
  Q_OBJECT

  // Shows the dialog modally; `azione` runs inside its event loop. Returns the answer.
  static int32_t mostra(const std::function<void(DialogoErrore&)>& azione) {
    borvan::test::OperatoreFinto operatore;
    borvan::test::ErroriFinti errori;
    int32_t risposta = 0;
    DialogoErrore dialogo("Descrizione : x\r\nSource : y\r\nCodice errore : 5\r\n", risposta,
                          operatore, errori);
    if (azione) QTimer::singleShot(50, &dialogo, [&dialogo, &azione] { azione(dialogo); });
    dialogo.esegui();
    return risposta;
  }

 private slots:
  void showsTheMessageOnTheFirstTabAtItsDesignSize() {
    mostra([](DialogoErrore& d) {
      QCOMPARE(d.windowTitle(), QString("ERRORE"));
      QCOMPARE(d.size(), QSize(476, 203));
      QCOMPARE(d.sstab1->currentIndex(), 0);
      QCOMPARE(d.sstab1->tabText(0), QString("Descrizione errore"));
      QCOMPARE(d.sstab1->tabText(1), QString("Dettagli"));
      QVERIFY2(d.label1->text().startsWith("Descrizione : x\r\nSource : y"),
               qPrintable(d.label1->text()));
      QCOMPARE(d.command1->text(), QString("&Riprova"));
      QCOMPARE(d.command2->text(), QString("&Annulla"));
      QVERIFY(!d.label2->isVisible());
      d.command2->click();
    });
  }

  // Enter answers retry and Esc gives up, whichever control has the focus, even with the
  // buttons out of sight on the second tab.
  void enterAndEscapeAnswerWhateverHasTheFocus() {
    using Fuoco = std::function<QWidget*(DialogoErrore&)>;
    const std::vector<std::tuple<Fuoco, Qt::Key, int32_t>> casi = {
        {[](DialogoErrore& d) -> QWidget* { return d.command2; }, Qt::Key_Return, 4},
        {[](DialogoErrore& d) -> QWidget* { return d.command1; }, Qt::Key_Escape, 2},
        {[](DialogoErrore& d) -> QWidget* { return d.command1; }, Qt::Key_Enter, 4},
        {[](DialogoErrore& d) -> QWidget* {
           d.sstab1->setCurrentIndex(1);
           return d.sstab1->tabBar();
         },
         Qt::Key_Escape, 2},
    };
    for (const auto& [fuoco, tasto, atteso] : casi) {
      const int32_t risposta = mostra([&fuoco, tasto = tasto](DialogoErrore& d) {
        QWidget* dove = fuoco(d);
        dove->setFocus();
        QTest::keyClick(dove, tasto);
      });
      QCOMPARE(risposta, atteso);
    }
  }

  void closedAnyOtherWayAnswersRetry() {
    QCOMPARE(mostra([](DialogoErrore& d) { d.close(); }), 4);
    QCOMPARE(mostra([](DialogoErrore& d) { d.reject(); }), 4);
  }

  void theCountdownRetriesByItselfAfterFiveSeconds() {
    QElapsedTimer orologio;
    orologio.start();
    QCOMPARE(mostra(nullptr), 4);
    QVERIFY2(orologio.elapsed() >= 4500 && orologio.elapsed() < 8000,
             qPrintable(QString::number(orologio.elapsed())));
  }
};

QTEST_MAIN(DialogoErroreTest)
#include "dialogo_errore_test.moc"

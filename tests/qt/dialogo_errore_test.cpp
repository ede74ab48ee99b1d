#include "qt/dialogo_errore.h"

#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "comune/operatore_finto.h"

using borvan::qt::DialogoErrore;

class DialogoErroreTest : public QObject {
  Q_OBJECT

  // Shows the dialog modally; `azione` runs inside its event loop. Returns the answer.
  static int32_t mostra(const std::function<void(DialogoErrore&)>& azione) {
    borvan::test::OperatoreFinto operatore;
    borvan::test::ErroriFinti errori;
    int32_t risposta = 0;
    DialogoErrore dialogo("Descrizione : x\r\nSource : y\r\n", risposta, operatore, errori);
    QTimer::singleShot(50, &dialogo, [&dialogo, &azione] { azione(dialogo); });
    dialogo.esegui();
    return risposta;
  }

 private slots:
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
      QCOMPARE(mostra([&](DialogoErrore& d) {
                 d.sstab1->setCurrentIndex(caso.fuoco ? 0 : 1);
                 QWidget* dove =
                     caso.fuoco ? d.findChild<QWidget*>(caso.fuoco) : d.sstab1->tabBar();
                 dove->setFocus();
                 QTest::keyClick(dove, caso.tasto);
                 QVERIFY(!d.isVisible());
               }),
               caso.risposta);
    }
    QCOMPARE(mostra([](DialogoErrore& d) { d.close(); }), 4);
  }

  // The message shown; the countdown, its ticks made quick, retries by itself.
  void ilContoAllaRovesciaRiprovaDaSolo() {
    bool scaduto = false;
    QCOMPARE(mostra([&scaduto](DialogoErrore& d) {
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

QTEST_MAIN(DialogoErroreTest)
#include "dialogo_errore_test.moc"

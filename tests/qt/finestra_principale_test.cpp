#include "qt/finestra_principale.h"

#include <QTest>

#include "comune/banco.h"

using namespace borvan;

class FinestraPrincipaleTest : public QObject {
  Q_OBJECT

 private slots:
  // Placed by its twips, the status larger than its caption, the tab order of the rows. Closed
  // through the title bar as through its button: the question, and the end only on Yes.
  void controlsStandInTheirTabOrderAndClosingAsks() {
    test::Banco b;
    qt::FinestraPrincipale f(*b.p);
    f.show();
    QCOMPARE(f.windowTitle(), QString("BORVAN INTERFACE"));
    QCOMPARE(f.list2->geometry(), QRect(8, 42, 279, 121));  // 120, 630, 4185, 1815 twips
    QVERIFY(!f.command2->isVisible());
    QVERIFY(f.label1->font().pointSizeF() > f.label2->font().pointSizeF());
    b.p->Command2.setVisible(true);
    std::vector<QWidget*> ordine;
    for (QWidget* w = f.command1; ordine.size() < 5; w = w->nextInFocusChain())
      if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
    QCOMPARE(ordine,
             (std::vector<QWidget*>{f.command1, f.command2, f.list2, f.command3, f.command4}));

    f.close();
    QCOMPARE(b.operatore.domande.size(), size_t{1});
    QVERIFY(b.operatore.domande[0].starts_with("Sicuro di voler chiudere BorvanIF?"));
    QCOMPARE(b.ambiente.terminazioni, 0);
    QVERIFY(f.isVisible());
    b.operatore.risposte_domanda.push_back(true);
    f.command3->click();
    QCOMPARE(b.ambiente.terminazioni, 1);
    f.command4->click();
    QVERIFY(f.isMinimized());
  }
};

QTEST_MAIN(FinestraPrincipaleTest)
#include "finestra_principale_test.moc"

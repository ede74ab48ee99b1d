#include "qt/finestra_principale.h"

#include <QTest>

#include "comune/banco.h"

using namespace borvan;

class FinestraPrincipaleTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsStandAtTheirPlacesWithTheirCaptions() {
    test::Banco b;
    qt::FinestraPrincipale f(*b.p);
    f.show();
    QCOMPARE(f.windowTitle(), QString("BORVAN INTERFACE"));
    QCOMPARE(f.size(), QSize(304, 238));
    const std::vector<std::tuple<QWidget*, QRect, QString>> controlli = {
        {f.label2, {8, 20, 135, 15}, "Stato registratore di cassa :"},
        {f.label1, {148, 14, 139, 23}, ""},
        {f.list2, {8, 42, 279, 121}, ""},
        {f.command1, {8, 172, 135, 29}, "Configurazione"},
        {f.command2, {148, 172, 139, 29}, "Interrompi la stampa"},
        {f.command3, {8, 206, 135, 29}, "Chiudi Borvan Interface"},
        {f.command4, {148, 206, 139, 29}, "Riduci ad icona"},
    };
    for (const auto& [widget, dove, testo] : controlli) {
      QCOMPARE(widget->geometry(), dove);
      QCOMPARE(widget->property("text").toString(), testo);
    }
    QVERIFY(!f.command2->isVisible());
    QVERIFY(f.label1->font().pointSizeF() > f.label2->font().pointSizeF());
    // Tab order: the first row of buttons, the list, the second row.
    b.p->Command2.setVisible(true);
    std::vector<QWidget*> ordine;
    for (QWidget* w = f.command1; ordine.size() < 5; w = w->nextInFocusChain())
      if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
    QCOMPARE(ordine,
             (std::vector<QWidget*>{f.command1, f.command2, f.list2, f.command3, f.command4}));
    f.command4->click();
    QVERIFY(f.isMinimized());
  }

  // Through the title bar as through its button: the question, and the end only on Yes.
  void closingThroughTheTitleBarAsksTheCloseQuestion() {
    test::Banco b;
    qt::FinestraPrincipale f(*b.p);
    f.show();
    f.close();
    QCOMPARE(b.operatore.domande.size(), size_t{1});
    QVERIFY(b.operatore.domande[0].starts_with("Sicuro di voler chiudere BorvanIF?"));
    QCOMPARE(b.ambiente.terminazioni, 0);
    QVERIFY(f.isVisible());
    b.operatore.risposte_domanda.push_back(true);
    f.command3->click();
    QCOMPARE(b.ambiente.terminazioni, 1);
  }
};

QTEST_MAIN(FinestraPrincipaleTest)
#include "finestra_principale_test.moc"

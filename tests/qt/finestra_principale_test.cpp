#include "qt/finestra_principale.h"

#include <QTest>

#include "comune/ambiente_finto.h"
#include "comune/cartella_temporanea.h"
#include "comune/driver_finto.h"
#include "comune/operatore_finto.h"
#include "errors/elabora_errore.h"

using namespace borvan;

class FinestraPrincipaleTest : public QObject {
  Q_OBJECT

  test::CartellaTemporanea cartella_;
  test::OperatoreFinto operatore_;
  ErroriComuni errori_{operatore_};
  test::AmbienteFinto ambiente_;

  std::unique_ptr<Principale> principale() {
    return std::make_unique<Principale>(cartella_.cartella(), std::make_unique<test::DriverFinto>(),
                                        operatore_, errori_, ambiente_);
  }

 private slots:
  void controlsStandAtTheirPlacesWithTheirCaptions() {
    auto p = principale();
    qt::FinestraPrincipale f(*p);
    QVERIFY(p->Form_Load());
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
      if (auto* etichetta = qobject_cast<QLabel*>(widget)) QCOMPARE(etichetta->text(), testo);
      if (auto* pulsante = qobject_cast<QPushButton*>(widget)) QCOMPARE(pulsante->text(), testo);
    }
    QVERIFY(!f.command2->isVisible());
    QVERIFY(f.label1->font().pointSizeF() > f.label2->font().pointSizeF());
    // Tab order: the first row of buttons, the list, the second row.
    p->Command2.setVisible(true);
    std::vector<QWidget*> ordine;
    for (QWidget* w = f.command1; ordine.size() < 5; w = w->nextInFocusChain())
      if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
    QCOMPARE(ordine,
             (std::vector<QWidget*>{f.command1, f.command2, f.list2, f.command3, f.command4}));
  }

  void closingThroughTheTitleBarAsksTheCloseQuestion() {
    auto p = principale();
    qt::FinestraPrincipale f(*p);
    f.show();
    operatore_.domande.clear();
    f.close();
    QCOMPARE(operatore_.domande.size(), size_t{1});
    QCOMPARE(ambiente_.terminazioni, 0);
    QVERIFY(f.isVisible());
    operatore_.risposte_domanda.push_back(true);
    f.command3->click();
    QCOMPARE(ambiente_.terminazioni, 1);
  }

  void minimiseButtonMinimises() {
    auto p = principale();
    qt::FinestraPrincipale f(*p);
    f.show();
    f.command4->click();
    QVERIFY(f.isMinimized());
  }

  // The timers tick through the real event loop: a job dropped in the folder is printed.
  void aJobRunsThroughTheEventLoop() {
    cartella_.scrivi("BorvanIF.CFG", "POLLING_TIME=20\r\n");
    auto p = principale();
    qt::FinestraPrincipale f(*p);
    QVERIFY(p->Form_Load());
    f.show();
    cartella_.scrivi("Scontr.ECR", "a\r\nb\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(!cartella_.esiste("Scontr.ECR"), 5000);
    QCOMPARE(cartella_.leggi("Result.TXT"),
             std::string("0\r\nStampa completata correttamente\r\n"));
    QTRY_VERIFY(!f.command2->isVisible());
  }
};

QTEST_MAIN(FinestraPrincipaleTest)
#include "finestra_principale_test.moc"

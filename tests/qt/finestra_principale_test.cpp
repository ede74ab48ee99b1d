#include "qt/finestra_principale.h"

#include <QTest>
#include <QTimer>

#include "comune/banco.h"
#include "ecr/registratore_simulato.h"
#include "qt/programma.h"

using namespace borvan;

namespace {

// The simulated register, telling whether its status or its send is in progress.
struct RegistratoreOsservato : RegistratoreSimulato {
  using RegistratoreSimulato::RegistratoreSimulato;
  int in_corso = 0;

  int32_t stato() override {
    return durante(membro_stato, [this] { return RegistratoreSimulato::stato(); });
  }
  int32_t invia(std::string& riga, std::string& risposta) override {
    return durante(membro_invia, [&] { return RegistratoreSimulato::invia(riga, risposta); });
  }
  template <class Membro>
  int32_t durante(int membro, Membro&& chiamata) {
    in_corso = membro;
    const int32_t risultato = chiamata();
    in_corso = 0;
    return risultato;
  }
};

}  // namespace

class FinestraPrincipaleTest : public QObject {
  Q_OBJECT

 private slots:
  // The tab order of the rows. Closed through the title bar as through its button: the question,
  // and the end only on Yes.
  void ordineDiTabulazioneELaChiusuraChiede() {
    test::Banco b;
    qt::FinestraPrincipale f(*b.p);
    f.show();
    QVERIFY(!f.command2->isVisible());
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

  // The program over a register that runs its event loop inside every call: "Interrompi la
  // stampa" clicked inside the third line's status ends the job before that line, clicked
  // inside its send right after it; one outcome, and the polls inside the open start nothing.
  void unInterruzioneDentroUnaChiamataChiudeSubitoDopo() {
    for (const int membro : {membro_stato, membro_invia}) {
      test::CartellaTemporanea cartella;
      cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=11\r\nSHOW_ERRORS=0\r\n");
      cartella.scrivi("ECRSIM.CFG", "PUMP_MESSAGES=1\r\nLINE_DELAY_MS=30\r\n");
      const auto righe = [](int quante) {
        std::string testo;
        for (int riga = 1; riga <= quante; ++riga) testo += "R " + std::to_string(riga) + "\r\n";
        return testo;
      };
      cartella.scrivi("Scontr.ECR", righe(10));
      auto* registratore = new RegistratoreOsservato(cartella.cartella());
      std::string eseguibile = cartella.cartella();
      eseguibile.pop_back();  // the executable's folder, as the system gives it
      qt::Programma programma(QString::fromStdString(eseguibile),
                              std::unique_ptr<DriverEcr>(registratore));
      QVERIFY(programma.avvia());
      QTimer clic;
      QObject::connect(&clic, &QTimer::timeout, [&] {
        if (cartella.conta_righe("ECRSIM.TXT") < 2 || registratore->in_corso != membro) return;
        clic.stop();
        QTest::mouseClick(programma.finestra().command2, Qt::LeftButton);
      });
      clic.start(1);
      QVERIFY(QTest::qWaitFor(
          [&] { return cartella.esiste("Result.TXT") && !cartella.esiste("Scontr.ECR"); }, 60000));
      QCOMPARE(cartella.leggi("Result.TXT"),
               std::string("-101\r\nStampa interrotta dall'utente\r\n"));
      QCOMPARE(cartella.leggi("ECRSIM.TXT"), righe(membro == membro_stato ? 2 : 3));
      QCOMPARE(cartella.conta_righe("BorvanIF.LOG"), size_t{1});
    }
  }
};

QTEST_MAIN(FinestraPrincipaleTest)
#include "finestra_principale_test.moc"

// The Qt binding's error dialog, main window and program, on the offscreen platform.

#include <QTest>
#include <QTimer>
#include <memory>
#include <stdexcept>
#include <utility>

#include "comune/banco.h"
#include "ecr/registratore_simulato.h"
#include "qt/dialogo_errore.h"
#include "qt/finestra_principale.h"
#include "qt/programma.h"

using namespace borvan;

namespace {

// The simulated register whose first question fails with what no handler catches.
struct RegistratoreGuasto : RegistratoreSimulato {
  using RegistratoreSimulato::RegistratoreSimulato;
  mutable bool guasto = true;

  std::string motivo_assenza() const override {
    if (std::exchange(guasto, false)) throw std::runtime_error("guasto");
    return {};
  }
};

}  // namespace

class BindingTest : public QObject {
  Q_OBJECT

 private slots:
  // The error dialog's countdown, its ticks made quick, retries by itself.
  void ilContoAllaRovesciaRiprovaDaSolo() {
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    int32_t risposta = 0;
    qt::DialogoErrore dialogo("Descrizione : x\r\n", risposta, operatore, errori);
    dialogo.form().Timer1.setInterval(10);
    bool scaduto = false;
    QTimer::singleShot(2000, &dialogo, [&] {
      scaduto = true;
      dialogo.reject();
    });
    dialogo.esegui();
    QCOMPARE(risposta, 4);
    QVERIFY(!scaduto);
  }

  // Closed through the title bar as through its button: the question, and the end only on Yes.
  void laChiusuraChiede() {
    test::Banco b;
    qt::FinestraPrincipale f(*b.p);
    f.show();
    f.close();
    QCOMPARE(b.operatore.domande.size(), size_t{1});
    QCOMPARE(b.ambiente.terminazioni, 0);
    QVERIFY(f.isVisible());
    b.operatore.risposte_domanda.push_back(true);
    f.command3->click();
    QCOMPARE(b.ambiente.terminazioni, 1);
  }

  // An error that escapes a handler (here the first poll's) is a note in the log, and the
  // program goes on: the next poll prints the job.
  void unErroreSfuggitoEUnaNotaNelLog() {
    test::CartellaTemporanea cartella;
    cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=11\r\n");
    cartella.scrivi("Scontr.ECR", "1\r\n");
    std::string eseguibile = cartella.cartella();
    eseguibile.pop_back();  // the executable's folder, as the system gives it
    qt::Programma programma(QString::fromStdString(eseguibile),
                            std::make_unique<RegistratoreGuasto>(cartella.cartella()));
    QVERIFY(programma.avvia());
    QVERIFY(QTest::qWaitFor([&] { return !cartella.esiste("Scontr.ECR"); }, 60000));
    QCOMPARE(cartella.leggi("Result.TXT"), std::string("0\r\nStampa completata correttamente\r\n"));
    const std::string log = cartella.leggi("BorvanIF.LOG");
    QVERIFY2(log.find("\t\tErrore non gestito: guasto\r\n") != std::string::npos, log.c_str());
  }
};

QTEST_MAIN(BindingTest)
#include "binding_test.moc"

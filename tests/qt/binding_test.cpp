// The Qt binding's dialogs, main window and views, on the offscreen platform.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <utility>

#include "comune/banco.h"
#include "comune/cartella_temporanea.h"
#include "comune/operatore_finto.h"
#include "comune/vista_sorveglianza.h"
#include "ecr/registratore_simulato.h"
#include "qt/dialogo_config.h"
#include "qt/dialogo_errore.h"
#include "qt/finestra_principale.h"
#include "qt/operatore_qt.h"
#include "qt/programma.h"
#include "qt/sorveglianza.h"
#include "qt/viste.h"

using namespace borvan;
using qt::DialogoConfig;
using qt::DialogoErrore;

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
  // Enter presses no button, the focused "OK" included; Esc closes without writing.
  void soloEscChiudeESenzaScrivere() {
    mostra_config([](DialogoConfig& d) {
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

  // Accented folder and file names are written back byte for byte; an existing file is taken
  // without a question; cancelled, the box keeps its value.
  void sfogliaMetteNellaCasellaIlPercorsoScelto() {
    const std::string citta = cartella_.percorso("citt\xc3\xa0") + "/";
    std::filesystem::create_directory(citta);
    std::ofstream(citta + "esistente \xc3\xa8.txt") << "x";
    const std::string comandi = "INPUT_FILE=" + citta + "comandi.ecr\r\n";
    for (const char* nome : {"nuovo \xc3\xb9.txt", "esistente \xc3\xa8.txt", ""}) {
      const QString scelto = QString::fromUtf8(citta + nome);
      mostra_config(
          [&](DialogoConfig& d) {
            QTimer::singleShot(0, [&] {
              auto& f = *qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
              f.findChild<QLineEdit*>("fileNameEdit")->setText(scelto);  // typed, as by the user
              *nome ? static_cast<QDialog&>(f).accept() : f.reject();
            });
            d.command3->click();
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

  // The countdown, its ticks made quick, retries by itself.
  void ilContoAllaRovesciaRiprovaDaSolo() {
    bool scaduto = false;
    QCOMPARE(mostra_errore([&scaduto](DialogoErrore& d) {
               d.form().Timer1.setInterval(10);
               QTimer::singleShot(2000, &d, [&] {
                 scaduto = true;
                 d.reject();
               });
             }),
             4);
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

  // The program over a register that runs its event loop inside every call: "Interrompi la
  // stampa" clicked inside a call of the third line ends the job right after that call, with one
  // outcome. The error that escaped the first poll is a note in the log.
  void unInterruzioneDentroUnaChiamataChiudeSubitoDopo() {
    test::CartellaTemporanea cartella;
    cartella.scrivi("BorvanIF.CFG", "POLLING_TIME=11\r\nSHOW_ERRORS=0\r\n");
    cartella.scrivi("ECRSIM.CFG", "PUMP_MESSAGES=1\r\nLINE_DELAY_MS=30\r\n");
    const std::string righe = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n";
    cartella.scrivi("Scontr.ECR", righe);
    std::string eseguibile = cartella.cartella();
    eseguibile.pop_back();  // the executable's folder, as the system gives it
    qt::Programma programma(QString::fromStdString(eseguibile),
                            std::make_unique<RegistratoreGuasto>(cartella.cartella()));
    QVERIFY(programma.avvia());
    QTimer clic;
    QObject::connect(&clic, &QTimer::timeout, [&] {
      if (cartella.conta_righe("ECRSIM.TXT") < 2) return;
      clic.stop();
      QTest::mouseClick(programma.finestra().command2, Qt::LeftButton);
    });
    clic.start(1);
    QVERIFY(QTest::qWaitFor(
        [&] { return cartella.esiste("Result.TXT") && !cartella.esiste("Scontr.ECR"); }, 60000));
    QCOMPARE(cartella.leggi("Result.TXT"),
             std::string("-101\r\nStampa interrotta dall'utente\r\n"));
    const std::string rotolo = cartella.leggi("ECRSIM.TXT");
    QVERIFY2(rotolo == righe.substr(0, 6) || rotolo == righe.substr(0, 9), rotolo.c_str());
    QCOMPARE(cartella.conta_righe("BorvanIF.LOG"), size_t{2});
    QVERIFY(cartella.leggi("BorvanIF.LOG").find("\t\tErrore non gestito: guasto\r\n") !=
            std::string::npos);
  }

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

  // Whichever side is destroyed first, what the other side does later reaches nothing (ASan
  // would see it): the program's changes, the user's edits, the clicks and the ticks.
  void ogniLatoSopravviveAllAltro() {
    Label etichetta;
    Timer timer_orfano;
    ListBox lista_orfana;
    Sorveglianza sorveglianza_orfana;
    auto* testo = new QLabel;
    auto* vista_orfana = new QListView;
    auto* genitore = new QObject;
    qt::collega(etichetta, testo);
    new qt::VistaTimer(
        timer_orfano, [] {}, genitore);
    new qt::VistaLista(lista_orfana, vista_orfana);
    new qt::VistaSorveglianza(
        sorveglianza_orfana, [] {}, genitore);
    delete testo;
    delete genitore;
    delete vista_orfana;
    etichetta.setCaption("dopo");
    timer_orfano.setInterval(5);
    timer_orfano.setEnabled(true);
    lista_orfana.AddItem("dopo");
    sorveglianza_orfana.sorveglia(QDir::tempPath().toStdString(), "dopo");
    sorveglianza_orfana.guarda_ancora();

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
  }
};

QTEST_MAIN(BindingTest)
#include "binding_test.moc"

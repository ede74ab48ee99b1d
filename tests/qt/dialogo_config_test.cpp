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
    operatore_.imposta_errori(errori_);
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
  void controlsStandAtTheirPlacesInTheirTabOrder() {
    mostra([](DialogoConfig& d) {
      QCOMPARE(d.windowTitle(), QString("Configurazione"));
      QCOMPARE(d.size(), QSize(585, 174));
      const std::vector<std::tuple<QWidget*, QRect, QString>> controlli = {
          {d.label3, {6, 6, 159, 19}, "Porta logica WinEcrCom :"},
          {d.text3, {168, 4, 53, 19}, "1"},
          {d.label1, {6, 28, 159, 19}, "File input comandi :"},
          {d.text1, {168, 26, 299, 19}, "Scontr.ECR"},
          {d.command1, {470, 26, 25, 19}, "..."},
          {d.label5, {6, 50, 159, 19}, "Tempo polling file comandi (ms) :"},
          {d.text5, {168, 48, 75, 19}, "300"},
          {d.label6, {6, 72, 159, 19}, "Tempo di timeout (sec) :"},
          {d.text6, {168, 70, 75, 19}, "20"},
          {d.label2, {2, 94, 163, 19}, "File dove salvare codici di ritorno :"},
          {d.text2, {168, 92, 299, 19}, "Result.TXT"},
          {d.command2, {470, 92, 25, 19}, "..."},
          {d.check1, {168, 116, 285, 17}, "Messaggio a schermo su errore"},
          {d.label4, {2, 140, 163, 19}, "File log :"},
          {d.text4, {168, 138, 299, 19}, "BorvanIF.LOG"},
          {d.command3, {470, 138, 25, 19}, "..."},
          {d.command4, {506, 4, 73, 57}, "OK"},
          {d.command6, {506, 66, 73, 25}, "Default"},
          {d.command5, {506, 94, 73, 63}, "Annulla (ESC)"},
      };
      for (const auto& [widget, dove, testo] : controlli) {
        QCOMPARE(widget->geometry(), dove);
        QCOMPARE(widget->property("text").toString(), testo);
        if (auto* l = qobject_cast<QLabel*>(widget)) {
          QVERIFY(l->alignment() & Qt::AlignRight);
          QVERIFY(l->fontMetrics().horizontalAdvance(testo) <= l->width());
        }
      }
      QCOMPARE(d.focusWidget(), d.text1);
      std::vector<QWidget*> ordine;
      for (QWidget* w = d.text1; ordine.size() < 13; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
      QCOMPARE(ordine, (std::vector<QWidget*>{d.text1, d.command1, d.text2, d.command2, d.text3,
                                              d.check1, d.text4, d.command3, d.text5, d.text6,
                                              d.command4, d.command5, d.command6}));
      d.reject();
    });
  }

  void escapeClosesWithoutWritingEnterPressesNothing() {
    for (const char* nome : {"Text5", "Check1", "Command4"}) {
      mostra([nome](DialogoConfig& d) {
        QTest::keyClicks(d.text5, "9");
        QTest::keyClick(d.text5, Qt::Key_Return);
        d.command4->setFocus();
        QTest::keyClick(d.command4, Qt::Key_Enter);
        QVERIFY(d.isVisible());
        QWidget* dove = d.findChild<QWidget*>(nome);
        dove->setFocus();
        QTest::keyClick(dove, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
      });
      QCOMPARE(cartella_.leggi("BorvanIF.CFG"), std::string("POLLING_TIME=300\r\n"));
    }
  }

  // Answers the file chooser, once it shows, with `percorso` typed as the user would.
  static void scegli(const QString& percorso) {
    QTimer::singleShot(0, [percorso] {
      auto& f = *qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      f.findChild<QLineEdit*>("fileNameEdit")->setText(percorso);
      static_cast<QDialog&>(f).accept();
    });
  }

  // A program folder and a chosen file with accented names are shown as the file system spells
  // them and written back byte for byte.
  void accentedFolderAndChosenPathRoundTrip() {
    const std::string citta = cartella_.percorso("citt\xc3\xa0") + "/";
    std::filesystem::create_directory(citta);
    const std::string comandi = citta + "comandi \xc3\xa8.ecr";
    mostra(
        [&](DialogoConfig& d) {
          QCOMPARE(d.text1->text(), QString::fromUtf8(comandi));
          scegli(QString::fromUtf8(citta + "log \xc3\xb9.txt"));
          d.command3->click();
          QCOMPARE(d.text4->text(), QString::fromUtf8(citta + "log \xc3\xb9.txt"));
          d.command4->click();
        },
        "INPUT_FILE=" + comandi + "\r\n", citta);
    std::ifstream file(citta + "BorvanIF.CFG", std::ios::binary);
    const std::string scritto{std::istreambuf_iterator<char>(file), {}};
    QVERIFY(scritto.find("INPUT_FILE=" + comandi + "\r\n") != std::string::npos);
    QVERIFY(scritto.find("LOG_FILE=" + citta + "log \xc3\xb9.txt\r\n") != std::string::npos);
  }

  // A new name as it is, an existing one without a question; cancelled, the box stays.
  void browsingPutsTheChosenFullPathInTheBox() {
    cartella_.scrivi("esistente.txt", "x");
    for (const char* nome : {"nuovo", "esistente.txt", ""}) {
      const QString scelto = QString::fromStdString(cartella_.percorso(nome));
      mostra([&](DialogoConfig& d) {
        QTimer::singleShot(0, [&] {
          auto& f = *qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
          QCOMPARE(f.windowTitle(), QString("Selezionare il file"));
          QVERIFY(f.testOption(QFileDialog::DontUseNativeDialog));
          QCOMPARE(f.acceptMode(), QFileDialog::AcceptSave);
          QCOMPARE(f.nameFilters(), QStringList{"Tutti i file (*.*) (*)"});
          QCOMPARE(f.selectedNameFilter(), QString("Tutti i file (*.*)"));
          f.findChild<QLineEdit*>("fileNameEdit")->setText(scelto);  // typed, as the user would
          *nome ? static_cast<QDialog&>(f).accept() : f.reject();
        });
        d.command3->click();
        QCOMPARE(d.text4->text(), *nome ? scelto : QString("BorvanIF.LOG"));
        d.reject();
      });
    }
  }
};

QTEST_MAIN(DialogoConfigTest)
#include "dialogo_config_test.moc"

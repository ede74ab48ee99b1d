#include "qt/dialogo_config.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "comune/cartella_temporanea.h"
#include "comune/errori_finti.h"
#include "qt/operatore_qt.h"
#include "support/scegli_file.h"

using namespace borvan;
using qt::DialogoConfig;

class DialogoConfigTest : public QObject {
  Q_OBJECT

  test::CartellaTemporanea cartella_;
  test::ErroriFinti errori_;
  qt::OperatoreQt operatore_;

  // Shows the dialog modally over the configuration file `config` (none when empty); `azione`
  // runs inside its event loop. Answers whether the dialog closed.
  bool mostra(const std::string& config, const std::function<void(DialogoConfig&)>& azione) {
    std::filesystem::remove(cartella_.percorso("BorvanIF.CFG"));
    if (!config.empty()) cartella_.scrivi("BorvanIF.CFG", config);
    DialogoConfig dialogo(cartella_.cartella(), operatore_, errori_);
    QTimer::singleShot(0, &dialogo, [&dialogo, &azione] {
      azione(dialogo);
      // Whatever the case left open is closed the way that writes nothing.
      if (dialogo.isVisible()) QTimer::singleShot(0, &dialogo, [&dialogo] { dialogo.reject(); });
    });
    // A box that a case did not expect is closed, so that the case fails instead of hanging.
    QTimer scadenza;
    QObject::connect(&scadenza, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
    });
    scadenza.start(3000);
    dialogo.esegui();
    return dialogo.form().Form.scaricata();
  }

  // Works the file chooser as soon as it is the modal window.
  static void nel_selettore(const std::function<void(QFileDialog&)>& azione) {
    QTimer::singleShot(10, [azione] {
      auto* selettore = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (selettore == nullptr) {
        nel_selettore(azione);
        return;
      }
      azione(*selettore);
      if (selettore->isVisible()) selettore->reject();  // a failed check must not hang
    });
  }

 public:
  DialogoConfigTest() { operatore_.imposta_errori(errori_); }

 private slots:
  void controlsStandAtTheirPlacesInTheirTabOrder() {
    mostra("", [](DialogoConfig& d) {
      QCOMPARE(d.windowTitle(), QString("Configurazione"));
      QCOMPARE(d.size(), QSize(585, 174));
      const std::vector<std::tuple<QWidget*, QRect, QString>> controlli = {
          {d.label3, {6, 6, 159, 19}, "Porta logica WinEcrCom :"},
          {d.text3, {168, 4, 53, 19}, "1"},
          {d.label1, {6, 28, 159, 19}, "File input comandi :"},
          {d.text1, {168, 26, 299, 19}, "Scontr.ECR"},
          {d.command1, {470, 26, 25, 19}, "..."},
          {d.label5, {6, 50, 159, 19}, "Tempo polling file comandi (ms) :"},
          {d.text5, {168, 48, 75, 19}, "500"},
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
        if (auto* l = qobject_cast<QLabel*>(widget)) {
          QCOMPARE(l->text(), testo);
          QVERIFY(l->alignment() & Qt::AlignRight);
          QVERIFY(l->fontMetrics().horizontalAdvance(testo) <= l->width());
        }
        if (auto* t = qobject_cast<QLineEdit*>(widget)) QCOMPARE(t->text(), testo);
        if (auto* b = qobject_cast<QAbstractButton*>(widget)) QCOMPARE(b->text(), testo);
      }
      QCOMPARE(d.focusWidget(), d.text1);
      std::vector<QWidget*> ordine;
      for (QWidget* w = d.text1; ordine.size() < 13; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) ordine.push_back(w);
      QCOMPARE(ordine, (std::vector<QWidget*>{d.text1, d.command1, d.text2, d.command2, d.text3,
                                              d.check1, d.text4, d.command3, d.text5, d.text6,
                                              d.command4, d.command5, d.command6}));
    });
  }

  void escapeClosesWithoutWritingEnterPressesNothing() {
    for (const char* nome : {"Text5", "Check1", "Command4"}) {
      QVERIFY(mostra("POLLING_TIME=300\r\n", [nome](DialogoConfig& d) {
        QTest::keyClicks(d.text5, "9");
        QTest::keyClick(d.text5, Qt::Key_Return);
        d.command4->setFocus();
        QTest::keyClick(d.command4, Qt::Key_Enter);
        QVERIFY(d.isVisible());
        QWidget* dove = d.findChild<QWidget*>(nome);
        dove->setFocus();
        QTest::keyClick(dove, Qt::Key_Escape);
      }));
      QCOMPARE(cartella_.leggi("BorvanIF.CFG"), std::string("POLLING_TIME=300\r\n"));
    }
  }

  // A new name is taken as it is (no extension added), an existing one without a question;
  // cancelling leaves the box as it was.
  void browsingPutsTheChosenFullPathInTheBox() {
    cartella_.scrivi("esistente.txt", "x");
    for (const auto& [nome, accetta] : {std::pair{"nuovo", true}, std::pair{"esistente.txt", true},
                                        std::pair{"annullato", false}}) {
      const QString scelto = QString::fromStdString(cartella_.percorso(nome));
      QVERIFY(mostra("", [&, accetta = accetta](DialogoConfig& d) {
        nel_selettore([&](QFileDialog& f) {
          QCOMPARE(f.windowTitle(), QString("Selezionare il file"));
          QVERIFY(f.testOption(QFileDialog::DontUseNativeDialog));
          QCOMPARE(f.acceptMode(), QFileDialog::AcceptSave);
          QCOMPARE(f.nameFilters(), QStringList{"Tutti i file (*.*) (*)"});
          QCOMPARE(f.selectedNameFilter(), QString("Tutti i file (*.*)"));
          // Typed as the user would: a shown chooser keeps its name box while it has the focus.
          f.findChild<QLineEdit*>("fileNameEdit")->setText(scelto);
          if (accetta) static_cast<QDialog&>(f).accept();
        });
        d.command3->click();
        QCOMPARE(d.text4->text(), accetta ? scelto : QString("BorvanIF.LOG"));
      }));
    }
  }

  void theChooserStartsFromTheFolderAndNameItIsGiven() {
    const QDir cartella(QString::fromStdString(cartella_.cartella()));
    RichiestaSalvaFile richiesta;
    richiesta.filtro = filtro_per_finestra("Testi|*.txt;*.log|Tutti|*.*");
    richiesta.indice_filtro = 2;
    richiesta.cartella_iniziale = cartella_.cartella();
    richiesta.buffer_nome = buffer_nome_file("proposto.txt");
    nel_selettore([&cartella](QFileDialog& f) {
      QCOMPARE(f.nameFilters(), (QStringList{"Testi (*.txt *.log)", "Tutti (*)"}));
      QCOMPARE(f.selectedNameFilter(), QString("Tutti"));
      QCOMPARE(f.directory().absolutePath(), cartella.absolutePath());
      static_cast<QDialog&>(f).accept();
    });
    QCOMPARE(QString::fromStdString(operatore_.salva_file(richiesta).value_or("")),
             cartella.absoluteFilePath("proposto.txt"));
  }
};

QTEST_MAIN(DialogoConfigTest)
#include "dialogo_config_test.moc"

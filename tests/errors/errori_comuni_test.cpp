#include "errors/errori_comuni.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"
#include "errors/form_errore.h"

namespace borvan {
namespace {

TEST(ElaboraErrore, ConteggioDegliErroriDiBlocco) {
  struct Passo {
    int32_t numero;
    int volte;        // in a row
    int16_t dialogo;  // its answer; 0: no dialog
  };
  const std::vector<std::vector<Passo>> sequenze = {
      // 11 silent retries, then the dialog on every further occurrence.
      {{3050, 11, 0}, {3050, 2, 4}},
      // A different lock number starts the count again.
      {{3050, 11, 0}, {3045, 11, 0}, {3045, 1, 4}},
      // The other groups neither reset nor advance the count.
      {{3050, 5, 0}, {5, 1, 2}, {3218, 1, 0}, {3260, 1, 0}, {3050, 6, 0}, {3050, 1, 4}},
  };
  for (size_t s = 0; s < sequenze.size(); ++s) {
    test::OperatoreFinto operatore;
    ErroriComuni errori(operatore);
    for (const Passo& passo : sequenze[s]) {
      for (int volta = 0; volta < passo.volte; ++volta) {
        if (passo.dialogo != 0) operatore.risposte_errore.push_back(passo.dialogo);
        const size_t dialoghi = operatore.testi_errore.size();
        int32_t linea = 0;
        EXPECT_EQ(errori.elabora_errore(passo.numero, linea),
                  passo.dialogo != 0 ? passo.dialogo : 4)
            << "sequence " << s << ", error " << passo.numero << ", time " << volta;
        EXPECT_EQ(operatore.testi_errore.size() - dialoghi, passo.dialogo != 0 ? 1u : 0u);
      }
    }
    EXPECT_TRUE(operatore.prompt.empty());
  }
}

TEST(ElaboraErrore, RinunciaAUnBloccoSoloConLaParolaDiAccesso) {
  const std::pair<std::optional<std::string>, int16_t> casi[] = {
      {"kwex", 2}, {"KWEX", 2}, {" kwex", 4}, {"altro", 4}, {std::nullopt, 4}};
  for (const auto& [digitato, atteso] : casi) {
    test::OperatoreFinto operatore;
    ErroriComuni errori(operatore);
    int32_t linea = 0;
    for (int i = 0; i < 11; ++i) errori.elabora_errore(3261, linea);
    operatore.risposte_errore = {2};
    operatore.risposte_testo = {digitato};
    EXPECT_EQ(errori.elabora_errore(3261, linea), atteso) << digitato.value_or("(cancelled)");
    EXPECT_EQ(operatore.prompt.at(0), "Inserire la parola di accesso per ignorare l'update");
  }
}

// A three-line message, the dialog's answer as the decision, the default pointer while a box
// is up and the pointer restored afterwards.
TEST(ElaboraErrore, MessaggioDecisioneEPuntatore) {
  test::OperatoreFinto operatore;
  ErroriComuni errori(operatore);
  int32_t linea = 0;
  operatore.stile_puntatore = puntatore_personalizzato;
  errori.elabora_errore(3218, linea);                               // silent path
  for (int i = 0; i < 12; ++i) errori.elabora_errore(3197, linea);  // dialog, then input box
  operatore.risposte_errore = {4, 2};
  EXPECT_EQ(errori.elabora_errore(ErroreRuntime(5, "x", "y"), linea), 4);
  EXPECT_EQ(errori.elabora_errore(5, linea), 2);
  EXPECT_EQ(operatore.modali, (std::vector<int16_t>{0, 0, 0, 0}));
  EXPECT_EQ(operatore.puntatore(), puntatore_personalizzato);
  EXPECT_EQ(operatore.testi_errore.at(1), "Descrizione : x\r\nSource : y\r\nCodice errore : 5\r\n");
  EXPECT_EQ(
      operatore.testi_errore.at(2),
      "Descrizione : Chiamata di routine o argomento non validi\r\n\r\nCodice errore : 5\r\n");
}

// Loaded: retry, centred, first tab; the countdown runs. Once answered, late ticks (the fifth
// would retry), keys and clicks change nothing. (The countdown's own retry: the dialogs' tests.)
TEST(FormErrore, CaricatoRiprovaEDopoLaRispostaNienteCambia) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  int32_t risposta = 0;
  Form_errore form{"Descrizione : x\r\n", risposta, operatore, errori};
  form.SSTab1.setTab_dall_utente(1);
  form.Form_Load();
  EXPECT_EQ(risposta, 4);
  EXPECT_EQ(form.SSTab1.Tab(), 0);
  EXPECT_EQ(form.Form.Left(), 4110);
  for (int tick = 0; tick < 4; ++tick) form.Timer1_Timer();
  EXPECT_EQ(form.Label2.Caption(), "1");
  form.Command2_Click();
  for (int tick = 0; tick < 5; ++tick) form.Timer1_Timer();
  int16_t invio = 13;
  form.Form_KeyPress(invio);
  form.Command1_Click();
  EXPECT_EQ(risposta, 2);
  EXPECT_EQ(form.Label2.Caption(), "1");
  EXPECT_TRUE(errori.ricevuti.empty());
}

}  // namespace
}  // namespace borvan

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
      {"kwex", 2}, {"KWEX", 2}, {" kwex", 4}, {std::nullopt, 4}};
  for (const auto& [digitato, atteso] : casi) {
    test::OperatoreFinto operatore;
    ErroriComuni errori(operatore);
    int32_t linea = 0;
    for (int i = 0; i < 11; ++i) errori.elabora_errore(3261, linea);
    operatore.risposte_errore = {2};
    operatore.risposte_testo = {digitato};
    EXPECT_EQ(errori.elabora_errore(3261, linea), atteso) << digitato.value_or("(cancelled)");
  }
}

// Loaded, the answer is retry, and the countdown's fifth tick gives it; Esc gives up. Once
// answered, late ticks, keys and clicks change nothing.
TEST(FormErrore, IlContoAllaRovesciaOEscEDopoLaRispostaNienteCambia) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  for (const bool esc : {false, true}) {
    int32_t risposta = 0;
    Form_errore form{"Descrizione : x\r\n", risposta, operatore, errori};
    form.Form_Load();
    EXPECT_EQ(risposta, 4);
    for (int tick = 0; tick < 4; ++tick) form.Timer1_Timer();
    EXPECT_FALSE(form.Form.scaricata());
    int16_t invio = 13, tasto = 27;
    esc ? form.Form_KeyPress(tasto) : form.Timer1_Timer();
    EXPECT_TRUE(form.Form.scaricata());
    const std::string conto = form.Label2.Caption();
    for (int tick = 0; tick < 5; ++tick) form.Timer1_Timer();
    form.Form_KeyPress(invio);
    form.Form_KeyPress(tasto);
    form.Command1_Click();
    form.Command2_Click();
    EXPECT_EQ(risposta, esc ? 2 : 4);
    EXPECT_EQ(form.Label2.Caption(), conto);
  }
  EXPECT_TRUE(errori.ricevuti.empty());
}

}  // namespace
}  // namespace borvan

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

// Loaded, the answer is retry; once answered, late ticks (the fifth would retry), keys and
// clicks change nothing.
TEST(FormErrore, CaricatoRiprovaEDopoLaRispostaNienteCambia) {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  int32_t risposta = 0;
  Form_errore form{"Descrizione : x\r\n", risposta, operatore, errori};
  form.Form_Load();
  EXPECT_EQ(risposta, 4);
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

#include "errors/form_errore.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

struct Dialogo {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  int32_t risposta = 0;
  Form_errore form{"Descrizione : x\r\n", risposta, operatore, errori};

  Dialogo() {
    form.SSTab1.setTab_dall_utente(1);
    form.Form_Load();
  }
  void tick(int volte) {
    for (int i = 0; i < volte; ++i) form.Timer1_Timer();
  }
};

// Loaded: retry, centred, first tab; the fifth tick retries. Once answered, late ticks, keys
// and clicks change nothing.
TEST(FormErrore, CaricatoRiprovaEDopoLaRispostaNienteCambia) {
  Dialogo d, solo;
  EXPECT_EQ(d.risposta, 4);
  EXPECT_EQ(d.form.SSTab1.Tab(), 0);
  EXPECT_EQ(d.form.Form.Top(), 3988);
  EXPECT_EQ(d.form.Form.Left(), 4110);
  d.tick(4);
  EXPECT_EQ(d.form.Label2.Caption(), "1");
  EXPECT_FALSE(d.form.Form.scaricata());
  d.form.Command2_Click();
  d.tick(5);
  int16_t invio = 13;
  d.form.Form_KeyPress(invio);
  d.form.Command1_Click();
  EXPECT_EQ(d.risposta, 2);
  EXPECT_EQ(d.form.Label2.Caption(), "1");

  solo.risposta = 0;  // so that the answer comes from the countdown
  solo.tick(5);
  EXPECT_EQ(solo.risposta, 4);
  EXPECT_TRUE(solo.form.Form.scaricata());
  EXPECT_TRUE(solo.errori.ricevuti.empty());
}

}  // namespace
}  // namespace borvan

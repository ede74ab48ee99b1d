#include "errors/form_errore.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

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

#include "errors/form_errore.h"

#include <gtest/gtest.h>

#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"

namespace borvan {
namespace {

struct Dialogo {
  test::OperatoreFinto operatore;
  test::ErroriFinti errori;
  std::string testo = "Descrizione : x\r\n";
  int32_t risposta = 0;
  Form_errore form{testo, risposta, operatore, errori};

  Dialogo() {
    form.SSTab1.setTab_dall_utente(1);
    form.Form_Load();
  }
  void tick(int volte) {
    for (int i = 0; i < volte; ++i) form.Timer1_Timer();
  }
};

TEST(FormErrore, AlCaricamentoRiprovaCentratoSullaPrimaScheda) {
  Dialogo d;
  EXPECT_EQ(d.risposta, 4);
  EXPECT_EQ(d.form.Label1.Caption(), d.testo);
  EXPECT_EQ(d.form.SSTab1.Tab(), 0);
  EXPECT_EQ(d.form.Form.Top(), 3988);
  EXPECT_EQ(d.form.Form.Left(), 4110);
}

TEST(FormErrore, ConteggioAllaRovesciaRispondeRiprovaAlQuintoTick) {
  Dialogo d;
  d.risposta = 0;  // so that the answer below comes from the countdown
  d.tick(4);
  EXPECT_EQ(d.form.Label2.Caption(), "1");
  EXPECT_FALSE(d.form.Form.scaricata());
  d.tick(1);
  EXPECT_EQ(d.risposta, 4);
  EXPECT_TRUE(d.form.Form.scaricata());
  EXPECT_TRUE(d.errori.ricevuti.empty());
}

TEST(FormErrore, TastiEDopoLaRispostaNienteCambia) {
  struct Caso {
    int16_t tasto;
    int32_t risposta;
    bool scaricata;
  };
  const Caso casi[] = {{13, 4, true}, {27, 2, true}, {65, 4, false}};
  for (const auto& caso : casi) {
    Dialogo d;
    int16_t tasto = caso.tasto;
    d.form.Form_KeyPress(tasto);
    EXPECT_EQ(d.risposta, caso.risposta) << caso.tasto;
    EXPECT_EQ(d.form.Form.scaricata(), caso.scaricata) << caso.tasto;
  }

  Dialogo d;
  d.tick(2);
  d.form.Command2_Click();
  d.tick(5);  // ticks still delivered while the window closes
  int16_t invio = 13;
  d.form.Form_KeyPress(invio);
  d.form.Command1_Click();
  EXPECT_EQ(d.risposta, 2);
  EXPECT_EQ(d.form.Label2.Caption(), "3");
}

}  // namespace
}  // namespace borvan

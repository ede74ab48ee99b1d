#include "support/schermo.h"

#include <gtest/gtest.h>

#include "comune/errori_finti.h"
#include "comune/operatore_finto.h"
#include "support/controlli.h"

namespace borvan {
namespace {

TEST(Schermo, PosizioneCentrata) {
  struct Caso {
    double schermo_l, schermo_a, form_l, form_a;
    int32_t left, top;
  };
  const Caso casi[] = {
      {15360, 11520, 4800, 3000, 5280, 4010},
      {15360, 11521, 4800, 3000, 5280, 4010},      // 11021 halves to 5510
      {15360, 11520, 4801, 3001, 5280, 4010},      // 4801 halves to 2400
      {15360, 11520, 4800.5, 3000.5, 5280, 4010},  // halves round to even first
      {15360, 11520, 4801.5, 3001.5, 5279, 4009},
      {15360, 11520, 4800, 11100, 5280, 0},     // taller than the screen less 500
      {15360, 11520, 16000, 3000, -320, 4010},  // wider: not moved back
  };
  for (const auto& c : casi) {
    const auto p = posizione_centrata(c.schermo_l, c.schermo_a, c.form_l, c.form_a);
    EXPECT_EQ(p.left, c.left) << c.form_l;
    EXPECT_EQ(p.top, c.top) << c.form_a;
  }
}

TEST(Schermo, CentraFormRinunciandoTieneIlTopGiaImpostato) {
  test::OperatoreFinto operatore;
  Window form;
  form.setSize_dalla_vista(4800, 3000);
  form.setLeft(7);
  operatore.schermo_larghezza = 1E20;  // does not fit an integer: overflow on the left step

  test::ErroriFinti errori;
  centra_form(form, operatore, errori);
  ASSERT_EQ(errori.ricevuti.size(), 1u);
  EXPECT_EQ(form.Top(), 4010);  // set before the failing step, and kept
  EXPECT_EQ(form.Left(), 7);
}

}  // namespace
}  // namespace borvan

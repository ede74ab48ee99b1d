#include "support/schermo.h"

#include <gtest/gtest.h>

#include "comune/operatore_finto.h"
#include "support/controlli.h"

namespace borvan {
namespace {

// Centred across, 250 twips above the middle; halves of odd sizes are lost; never above the
// top, though a form wider than the screen starts left of it.
TEST(CentraForm, SegueLaSuaAritmetica) {
  const struct {
    double schermo_l, schermo_a, form_l, form_a;
    double left, top;
  } casi[] = {
      {15360, 11520, 4800, 3000, 5280, 4010},
      {15360, 11521, 4800, 3000, 5280, 4010},
      {15360, 11520, 4800, 12000, 5280, 0},
      {4000, 11520, 4800, 3000, -400, 4010},
  };
  for (const auto& c : casi) {
    test::OperatoreFinto operatore;
    test::ErroriFinti errori;
    operatore.larghezza = c.schermo_l;
    operatore.altezza = c.schermo_a;
    Window form;
    form.setSize_dalla_vista(c.form_l, c.form_a);
    centra_form(form, operatore, errori);
    EXPECT_EQ(form.Left(), c.left) << c.schermo_l << "x" << c.schermo_a;
    EXPECT_EQ(form.Top(), c.top) << c.form_a;
  }
}

}  // namespace
}  // namespace borvan

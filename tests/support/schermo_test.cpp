#include "support/schermo.h"

#include <gtest/gtest.h>

namespace borvan {
namespace {

// Centred across, 250 twips above the middle; halves of odd sizes are lost; never above the
// top, though a form wider than the screen starts left of it.
TEST(PosizioneCentrata, SegueLaSuaAritmetica) {
  const struct {
    double schermo_l, schermo_a, form_l, form_a;
    int32_t left, top;
  } casi[] = {
      {15360, 11520, 4800, 3000, 5280, 4010},
      {15360, 11521, 4800, 3000, 5280, 4010},
      {15360, 11520, 4800, 12000, 5280, 0},
      {4000, 11520, 4800, 3000, -400, 4010},
  };
  for (const auto& c : casi) {
    const PosizioneForm p = posizione_centrata(c.schermo_l, c.schermo_a, c.form_l, c.form_a);
    EXPECT_EQ(p.left, c.left) << c.schermo_l << "x" << c.schermo_a;
    EXPECT_EQ(p.top, c.top) << c.form_a;
  }
}

}  // namespace
}  // namespace borvan

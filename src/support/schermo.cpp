#include "support/schermo.h"

#include "support/controlli.h"
#include "support/numeri.h"
#include "support/operatore.h"
#include "support/trappola.h"

namespace borvan {

namespace {

// Each half is an integer division: odd sizes lose their half twip.
int32_t meta(double twips) {
  return arrotonda_intero(twips) / 2;
}

int32_t top_centrato(double altezza_schermo, double altezza_form) {
  const int32_t top = meta(altezza_schermo - 500) - meta(altezza_form);
  return top < 0 ? 0 : top;
}

int32_t left_centrato(double larghezza_schermo, double larghezza_form) {
  return meta(larghezza_schermo) - meta(larghezza_form);
}

}  // namespace

void centra_form(Window& form, Operatore& operatore, GestoreErrori& errori) {
  Trappola passo{errori};
  if (!passo([&] { form.setTop(top_centrato(operatore.altezza_schermo(), form.Height())); }))
    return;  // given up: the form keeps the position it has now
  passo([&] { form.setLeft(left_centrato(operatore.larghezza_schermo(), form.Width())); });
}

void cursore_attesa(Operatore& operatore, GestoreErrori& errori) {
  Trappola passo{errori};
  passo([&] { operatore.imposta_puntatore(puntatore_personalizzato); });
}

void cursore_normale(Operatore& operatore, GestoreErrori& errori) {
  Trappola passo{errori};
  passo([&] { operatore.imposta_puntatore(puntatore_normale); });
}

}  // namespace borvan

#pragma once

#include <cstdint>

namespace borvan {

class GestoreErrori;
class Operatore;
class Window;

// Centres the form: across the screen, its middle 250 twips above the screen's middle; never
// above the top, but a form wider than the screen may start left of it. Top first, then left.
void centra_form(Window& form, Operatore& operatore, GestoreErrori& errori);

// The application-wide pointer: busy (style 99) and back to the default (style 0).
void cursore_attesa(Operatore& operatore, GestoreErrori& errori);
void cursore_normale(Operatore& operatore, GestoreErrori& errori);

}  // namespace borvan

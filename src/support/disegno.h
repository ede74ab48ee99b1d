#pragma once

// A form's design: its caption and size, and for each of its controls where it stands, what it
// says, in which font and colours. Each form has one table of it; every binding creates and
// places the form's controls from that table, and from nothing else.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace borvan {

// A place on a form, in twips: 1440 to an inch, 15 to a pixel at 96 dpi.
struct Rettangolo {
  double left = 0, top = 0, width = 0, height = 0;
};

// The forms were drawn in "MS Sans Serif"; a binding takes the nearest font the system has.
struct Carattere {
  double punti = 8.25;
  bool grassetto = false;
};

struct Colore {
  uint8_t rosso = 0, verde = 0, blu = 0;
};

enum class Genere {
  etichetta,  // label
  lista,      // list box
  pulsante,   // command button
  casella,    // text box
  spunta,     // check box
  // Tab strip: it lies beneath the form's other controls, which stand on its page, and comes
  // last in the tab order.
  schede,
  riquadro,  // picture box, empty
  // The register's driver control: never shown. Where the system hosts it as a control, it
  // gets a hidden place on the form.
  registratore,
};

// The picture a graphical button shows above its caption.
enum class Figura { nessuna, conferma, annulla };
// Its side, in twips.
inline constexpr double lato_figura = 360;

enum class Allineamento { sinistra, destra };

struct DisegnoControllo {
  const char* nome;  // the control's name: "List2"
  Genere genere;
  Rettangolo posto;
  const char* caption = "";
  std::optional<Carattere> carattere = {};  // none: the form's
  // A graphical button: drawn by the program, in this colour (none: the system's button face)
  // and with this picture.
  std::optional<Colore> sfondo = {};
  Figura figura = Figura::nessuna;
  Allineamento allineamento = Allineamento::sinistra;
  bool visibile = true;
  std::span<const char* const> schede = {};  // a tab strip's tab captions

  bool grafico() const { return sfondo.has_value() || figura != Figura::nessuna; }
  // Labels, picture boxes and the register's control never take the focus.
  bool prende_fuoco() const {
    return genere != Genere::etichetta && genere != Genere::riquadro &&
           genere != Genere::registratore;
  }
};

struct DisegnoModulo {
  const char* caption;
  double larghezza, altezza;  // the client area, in twips
  Carattere carattere = {};
  // In tab order: the controls that take the focus take it in the order they are listed.
  std::span<const DisegnoControllo> controlli;

  const DisegnoControllo& controllo(std::string_view nome) const {
    for (const DisegnoControllo& c : controlli)
      if (nome == c.nome) return c;
    throw std::out_of_range("nessun controllo " + std::string(nome));
  }
};

}  // namespace borvan

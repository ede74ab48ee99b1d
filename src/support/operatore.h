#pragma once

// Everything that asks the person at the screen, and the screen itself, goes through here:
// the toolkit binding implements it with real dialogs, the tests with a scripted operator.

#include <cstdint>
#include <optional>
#include <string>

namespace borvan {

class GestoreErrori;

enum class Icona { nessuna, domanda, errore };

// What the save-file chooser is given: the record the program prepares for it.
struct RichiestaSalvaFile {
  std::string titolo;
  std::string filtro;             // description NUL pattern NUL ... NUL NUL
  int32_t indice_filtro = 1;      // 1 = the first pair
  std::string cartella_iniziale;  // empty: the chooser decides
  std::string buffer_nome;        // the proposed name, padded with NULs
  bool con_proprietario = false;  // shown over the active window
};

// Application-wide mouse pointer styles.
inline constexpr int16_t puntatore_normale = 0;
inline constexpr int16_t puntatore_personalizzato = 99;

class Operatore {
 public:
  virtual ~Operatore() = default;

  // A modal message box with a single OK button and the application's title as caption.
  virtual void messaggio(const std::string& testo, Icona icona) = 0;
  // A modal Yes/No question (question icon, No the default button): true on Yes.
  virtual bool domanda(const std::string& testo) = 0;
  // The standard text-input box with a prompt only; nothing when it is cancelled.
  virtual std::optional<std::string> chiedi_testo(const std::string& prompt) = 0;
  // Shows a fresh error dialog modally: it reads the message and writes the answer, and its
  // own routines report to `errori`, the error routine that shows it. Returns when the dialog
  // has unloaded itself.
  virtual void mostra_form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                                  GestoreErrori& errori) = 0;
  // The save-file chooser: the chosen full path, or nothing when the user cancels.
  virtual std::optional<std::string> salva_file(const RichiestaSalvaFile& richiesta) = 0;

  // The screen's size in twips.
  virtual double larghezza_schermo() const = 0;
  virtual double altezza_schermo() const = 0;

  // The application-wide mouse pointer.
  virtual int16_t puntatore() const = 0;
  virtual void imposta_puntatore(int16_t stile) = 0;
};

}  // namespace borvan

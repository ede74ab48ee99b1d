#pragma once

// The controls of the program's windows, as the core sees them: each holds its own state and
// tells its view (the toolkit binding, or nothing in a test) when that state changed. The
// windows' logic reads and writes them by the names their windows give them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace borvan {

// A view's hold on a control. While the link lives the control calls its view after each change;
// whichever of the two goes first, the other is never called again.
class Legame {
 public:
  Legame() = default;
  // True while the control exists: a view acts on it only then.
  bool attivo() const { return !controllo_.expired(); }

 private:
  friend class Controllo;
  std::shared_ptr<const std::function<void()>> vista_;  // the control holds it weakly
  std::weak_ptr<const void> controllo_;
};

class Controllo {
 public:
  Controllo() = default;
  Controllo(const Controllo&) = delete;
  Controllo& operator=(const Controllo&) = delete;

  // The view's hook: called after every change made by the program (not by the user), for as
  // long as the returned link is kept.
  [[nodiscard]] Legame osserva(std::function<void()> vista);

 protected:
  void notifica() const;

 private:
  std::weak_ptr<const std::function<void()>> vista_;
  std::shared_ptr<const int> vita_ = std::make_shared<const int>(0);
};

class Label : public Controllo {
 public:
  const std::string& Caption() const { return caption_; }
  void setCaption(std::string caption);

 private:
  std::string caption_;
};

class Button : public Controllo {
 public:
  const std::string& Caption() const { return caption_; }
  void setCaption(std::string caption);
  bool Visible() const { return visible_; }
  void setVisible(bool visible);

 private:
  std::string caption_;
  bool visible_ = true;
};

// Its view hears of changes only: a timer whose interval or state changes starts counting
// again, one set to what it has goes on.
class Timer : public Controllo {
 public:
  int32_t Interval() const { return interval_; }
  void setInterval(int32_t millisecondi);
  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);

 private:
  int32_t interval_ = 0;
  bool enabled_ = false;
};

// A watch over a folder. The view asks the system to tell it of changes there and runs the
// handler for those that may concern the file `nome()`, at most once for a burst of them; it
// reports whether the system would watch the folder at all. Without a view nothing is watched.
class Sorveglianza : public Controllo {
 public:
  const std::string& cartella() const { return cartella_; }
  const std::string& nome() const { return nome_; }
  // Watches `cartella` for `nome`; asked again for the same pair, the view tries anew a watch
  // the system refused.
  void sorveglia(std::string cartella, std::string nome);
  // One more run of the handler soon, as after a change: for what may have come while the
  // handler could not act on it.
  void guarda_ancora();
  // Counts the runs asked for: a view tells them by it.
  uint64_t richieste() const { return richieste_; }
  // Why the system would not watch the folder; empty while it does, or while no view tried.
  const std::string& errore() const { return errore_; }
  void setErrore_dalla_vista(std::string errore) { errore_ = std::move(errore); }

 private:
  std::string cartella_;
  std::string nome_;
  std::string errore_;
  uint64_t richieste_ = 0;
};

// A list box: its count and its selection are 16-bit values, as the job's cursor is.
class ListBox : public Controllo {
 public:
  static constexpr int16_t capacita = 32767;

  void AddItem(std::string riga);
  void Clear();
  int16_t ListCount() const { return static_cast<int16_t>(righe_.size()); }
  int16_t ListIndex() const { return indice_; }
  // Selects a line (and scrolls to it); -1 selects nothing. Out of range: error 380.
  void setListIndex(int16_t indice);
  const std::string& List(int16_t indice) const;

  const std::vector<std::string>& righe() const { return righe_; }
  // Changes whenever the lines change (not the selection): a view refreshes by it.
  uint64_t revisione() const { return revisione_; }

 private:
  std::vector<std::string> righe_;
  uint64_t revisione_ = 0;
  int16_t indice_ = -1;
};

// Controls the user edits: the view writes the user's changes back through the setters
// marked "dall_utente", which do not echo to the view.
class TextBox : public Controllo {
 public:
  const std::string& Text() const { return text_; }
  void setText(std::string text);
  void setText_dall_utente(std::string text) { text_ = std::move(text); }

 private:
  std::string text_;
};

class CheckBox : public Controllo {
 public:
  int16_t Value() const { return value_; }  // 0 unchecked, 1 checked
  void setValue(int16_t value);
  void setValue_dall_utente(int16_t value) { value_ = value; }

 private:
  int16_t value_ = 0;
};

class TabStrip : public Controllo {
 public:
  int16_t Tab() const { return tab_; }
  void setTab(int16_t tab);
  void setTab_dall_utente(int16_t tab) { tab_ = tab; }

 private:
  int16_t tab_ = 0;
};

// The window itself. Position and size are in twips (15 to a pixel at 96 dpi).
class Window : public Controllo {
 public:
  enum class Stato { normale, ridotta };

  const std::string& Caption() const { return caption_; }
  void setCaption(std::string caption);

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void setLeft(double twips);
  void setTop(double twips);
  // Sizes are given by the window's design; the view reports the outer size it really has.
  void setSize_dalla_vista(double width, double height);

  Stato WindowState() const { return stato_; }
  void setWindowState(Stato stato);

  // Unload: the window is to close. The view closes it; the logic stops acting on it.
  void Unload();
  bool scaricata() const { return scaricata_; }

 private:
  std::string caption_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Stato stato_ = Stato::normale;
  bool scaricata_ = false;
};

}  // namespace borvan

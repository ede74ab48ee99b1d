#include "support/controlli.h"

#include "support/errore_runtime.h"

namespace borvan {

Legame Controllo::osserva(std::function<void()> vista) {
  Legame legame;
  legame.vista_ = std::make_shared<const std::function<void()>>(std::move(vista));
  legame.controllo_ = vita_;
  vista_ = legame.vista_;
  return legame;
}

void Controllo::notifica() const {
  // Held for the call: a view may drop its link from inside it.
  if (const auto vista = vista_.lock()) (*vista)();
}

void Label::setCaption(std::string caption) {
  caption_ = std::move(caption);
  notifica();
}

void Button::setCaption(std::string caption) {
  caption_ = std::move(caption);
  notifica();
}

void Button::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  notifica();
}

void Timer::setInterval(int32_t millisecondi) {
  if (millisecondi < 0) throw ErroreRuntime(codice_errore::valore_proprieta_non_valido);
  if (interval_ == millisecondi) return;
  interval_ = millisecondi;
  notifica();
}

void Timer::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  notifica();
}

void Sorveglianza::sorveglia(std::string cartella, std::string nome) {
  cartella_ = std::move(cartella);
  nome_ = std::move(nome);
  errore_.clear();
  notifica();
}

void Sorveglianza::guarda_ancora() {
  ++richieste_;
  notifica();
}

void ListBox::AddItem(std::string riga) {
  if (righe_.size() >= static_cast<size_t>(capacita))
    throw ErroreRuntime(codice_errore::memoria_esaurita);
  righe_.push_back(std::move(riga));
  ++revisione_;
  notifica();
}

void ListBox::Clear() {
  std::vector<std::string>().swap(righe_);  // a large job's lines give their memory back
  ++revisione_;
  indice_ = -1;
  notifica();
}

void ListBox::setListIndex(int16_t indice) {
  if (indice < -1 || indice >= ListCount())
    throw ErroreRuntime(codice_errore::valore_proprieta_non_valido);
  indice_ = indice;
  notifica();
}

const std::string& ListBox::List(int16_t indice) const {
  if (indice < 0 || indice >= ListCount())
    throw ErroreRuntime(codice_errore::valore_proprieta_non_valido);
  return righe_[static_cast<size_t>(indice)];
}

void TextBox::setText(std::string text) {
  text_ = std::move(text);
  notifica();
}

void CheckBox::setValue(int16_t value) {
  if (value != 0 && value != 1) throw ErroreRuntime(codice_errore::valore_proprieta_non_valido);
  value_ = value;
  notifica();
}

void TabStrip::setTab(int16_t tab) {
  tab_ = tab;
  notifica();
}

void Window::setCaption(std::string caption) {
  caption_ = std::move(caption);
  notifica();
}

void Window::setLeft(double twips) {
  left_ = twips;
  notifica();
}

void Window::setTop(double twips) {
  top_ = twips;
  notifica();
}

void Window::setSize_dalla_vista(double width, double height) {
  width_ = width;
  height_ = height;
}

void Window::setWindowState(Stato stato) {
  stato_ = stato;
  notifica();
}

void Window::Unload() {
  scaricata_ = true;
  notifica();
}

}  // namespace borvan

#include "support/protetto.h"

#include <exception>
#include <utility>

namespace borvan {

namespace {

std::function<void(const std::string&)> ascolta_;

}  // namespace

void ascolta_errori_sfuggiti(std::function<void(const std::string&)> ascolta) {
  ascolta_ = std::move(ascolta);
}

std::optional<std::string> esegui_protetto(const std::function<void()>& gestore) {
  std::string descrizione;
  try {
    gestore();
    return std::nullopt;
  } catch (const std::exception& e) {
    descrizione = e.what();
  } catch (...) {
  }
  if (ascolta_) ascolta_(descrizione);
  return descrizione;
}

}  // namespace borvan

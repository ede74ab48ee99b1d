#pragma once

// The core's event handlers as the bindings run them: nothing that escapes one reaches the
// toolkit's loop, and what does escape is said where support sees it.

#include <functional>
#include <optional>
#include <string>

namespace borvan {

// Runs an event handler. What escapes it is described (its text; empty when it says nothing) to
// the listener, and returned; nothing when the handler ended as it should.
std::optional<std::string> esegui_protetto(const std::function<void()>& gestore);

// Who hears of escaped errors (the program's log); nothing for nobody.
void ascolta_errori_sfuggiti(std::function<void(const std::string&)> ascolta);

}  // namespace borvan

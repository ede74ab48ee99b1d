#pragma once

#include <functional>

namespace borvan::qt {

// Runs an event handler of the core, keeping any escaped error away from the event loop.
void protetto(const std::function<void()>& gestore);

}  // namespace borvan::qt

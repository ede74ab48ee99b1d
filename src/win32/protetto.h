#pragma once

#include <functional>

namespace borvan::win32 {

class Ciclo;

// Runs an event handler of the core, keeping any escaped error away from the message loop.
// None runs once the loop has stopped them: the program is ending.
void protetto(const Ciclo& ciclo, const std::function<void()>& gestore);

}  // namespace borvan::win32

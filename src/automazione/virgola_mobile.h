#pragma once

// The floating-point control words (x87 and SSE: precision, rounding, exception masks) belong to
// the whole thread: a control built with another runtime may change them and leave them so. The
// program keeps its own in force in its own code. Windows only.

#include <cstdint>

namespace borvan {

struct ParoleVirgolaMobile {
  uint16_t x87 = 0;
  uint32_t sse = 0;
};

// The words in force at its construction, put back at its end.
class ParoleSalvate {
 public:
  ParoleSalvate(const ParoleSalvate&) = delete;
  ParoleSalvate& operator=(const ParoleSalvate&) = delete;

 protected:
  ParoleSalvate();
  ~ParoleSalvate();

  const ParoleVirgolaMobile salvate_;
};

// Around a call into the control: the words in force before it, the program's, are put back
// after it.
class ParoleRipristinate : ParoleSalvate {
 public:
  ParoleRipristinate();
};

// Around the program's own code that a control runs from inside its call (window procedures and
// the timer ticks they deliver, the client site's Invoke): the program's words on entry, those
// it had before the call; the control's own given back on return.
class ParoleDelProgramma : ParoleSalvate {
 public:
  ParoleDelProgramma();
};

}  // namespace borvan

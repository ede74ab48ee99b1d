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

// Around a call into the control: the words in force before it, the program's, are put back
// after it.
class ParoleRipristinate {
 public:
  ParoleRipristinate();
  ~ParoleRipristinate();
  ParoleRipristinate(const ParoleRipristinate&) = delete;
  ParoleRipristinate& operator=(const ParoleRipristinate&) = delete;

 private:
  ParoleVirgolaMobile programma_;
};

// Around the program's own code that a control runs from inside its call (window procedures and
// the timer ticks they deliver, the client site's Invoke): the program's words on entry, those
// it had before the call; the control's own given back on return.
class ParoleDelProgramma {
 public:
  ParoleDelProgramma();
  ~ParoleDelProgramma();
  ParoleDelProgramma(const ParoleDelProgramma&) = delete;
  ParoleDelProgramma& operator=(const ParoleDelProgramma&) = delete;

 private:
  ParoleVirgolaMobile controllo_;
};

}  // namespace borvan

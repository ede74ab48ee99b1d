#pragma once

#ifdef _WIN32

#include <cstdint>

namespace borvan::test {

// Windows has no limit on the size of a process's files: the tests that need one are skipped.
inline constexpr bool disco_pieno_simulabile = false;
class DiscoPieno {
 public:
  explicit DiscoPieno(uint64_t) {}
};

}  // namespace borvan::test

#else

#include <sys/resource.h>

#include <csignal>

namespace borvan::test {

inline constexpr bool disco_pieno_simulabile = true;

// While in scope, this process's files fill up at `byte` bytes: a write that crosses the mark
// is cut there and the next one fails, as on a full disk.
class DiscoPieno {
 public:
  explicit DiscoPieno(rlim_t byte) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &prima_);
    rlimit limite = prima_;
    limite.rlim_cur = byte;
    ::setrlimit(RLIMIT_FSIZE, &limite);
  }
  ~DiscoPieno() { ::setrlimit(RLIMIT_FSIZE, &prima_); }
  DiscoPieno(const DiscoPieno&) = delete;
  DiscoPieno& operator=(const DiscoPieno&) = delete;

 private:
  rlimit prima_{};
};

}  // namespace borvan::test

#endif

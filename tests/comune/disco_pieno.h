#pragma once

#include <sys/resource.h>

#include <csignal>

namespace borvan::test {

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

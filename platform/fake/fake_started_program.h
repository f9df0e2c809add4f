#pragma once
// A started program that a test ends: End() makes it ended, and its end signal is a pipe
// that becomes readable then, so that an event loop watches it as it watches the
// platform's own pidfd. Where there are no pipes the signal is a number of its own that
// nothing can watch, and only HasEnded tells.

#include <atomic>
#include <cstdint>

#include "platform/processes.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quorvel {

class FakeStartedProgram final : public StartedProgram {
 public:
  FakeStartedProgram() {
#ifndef _WIN32
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
      read_ = ends[0];
      write_ = ends[1];
    }
#endif
    if (read_ < 0) signal_ = 0x10000 + next_++;
  }
  FakeStartedProgram(const FakeStartedProgram&) = delete;
  FakeStartedProgram& operator=(const FakeStartedProgram&) = delete;
  ~FakeStartedProgram() override {
#ifndef _WIN32
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
#endif
  }

  std::intptr_t EndSignal() const override { return read_ >= 0 ? read_ : signal_; }
  bool HasEnded() override { return ended_; }

  // The program ends: its signal becomes ready.
  void End() {
    if (ended_) return;
    ended_ = true;
#ifndef _WIN32
    if (write_ >= 0) (void)!::write(write_, "e", 1);
#endif
  }

 private:
  bool ended_ = false;
  int read_ = -1;
  int write_ = -1;
  std::intptr_t signal_ = -1;
  inline static std::atomic<std::intptr_t> next_{0};
};

}  // namespace quorvel

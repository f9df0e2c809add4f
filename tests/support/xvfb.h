#pragma once
// A private X server (Xvfb) for one test program or test, on a display number nobody
// uses, stopped when the object goes.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"

namespace quorvel::testing {

class Xvfb {
 public:
  // `screen`: WIDTHxHEIGHTxDEPTH.
  explicit Xvfb(const std::string& screen = "1280x720x24") {
    using namespace std::chrono_literals;
    namespace fs = std::filesystem;
    // A display whose lock file is missing; -noreset keeps the server running when the
    // last client leaves.
    for (int number = 100 + getpid() % 300; number < 1000 && !server_; number += 7) {
      if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      display_ = ":" + std::to_string(number);
      server_.emplace(std::vector<std::string>{"/usr/bin/Xvfb", display_, "-nolisten", "tcp",
                                               "-noreset", "-screen", "0", screen},
                      std::vector<std::string>{});
      const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
      const auto end = std::chrono::steady_clock::now() + 20s;
      while (!fs::exists(socket) && !server_->WaitExit(0ms) &&
             std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
      }
      if (!fs::exists(socket)) server_.reset();
    }
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool Running() const { return server_.has_value(); }
  // ":NNN".
  const std::string& Display() const { return display_; }

 private:
  std::string display_;
  std::optional<ChildProcess> server_;
};

}  // namespace quorvel::testing

// The real quorvel program on a real X server (Xvfb), driven with key presses through
// xdotool: the options sheet opens, and Enter or Escape close it with or without a save.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "support/child_process.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
namespace fs = std::filesystem;

constexpr auto kStartLimit = 20s;
constexpr auto kExitLimit = 10s;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ProgramE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quorvel-e2e-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    // A display number nobody uses: its lock file is missing, and Xvfb keeps running.
    for (int number = 100 + getpid() % 300; number < 1000 && !xvfb_; number += 7) {
      if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      display_ = ":" + std::to_string(number);
      xvfb_.emplace(std::vector<std::string>{"/usr/bin/Xvfb", display_, "-nolisten", "tcp",
                                             "-noreset", "-screen", "0", "1024x768x24"},
                    std::vector<std::string>{});
      const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
      const auto end = std::chrono::steady_clock::now() + kStartLimit;
      while (!fs::exists(socket) && !xvfb_->WaitExit(0ms) &&
             std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
      }
      if (!fs::exists(socket)) xvfb_.reset();
    }
    ASSERT_TRUE(xvfb_) << "Xvfb did not start (package xvfb)";
  }
  void TearDown() override {
    xvfb_.reset();
    fs::remove_all(dir_);
  }

  std::vector<std::string> Env() const {
    return {"DISPLAY=" + display_, "XDG_CONFIG_HOME=" + dir_.string(), "QT_QPA_PLATFORM=xcb"};
  }

  // Runs xdotool and returns the first line it prints.
  std::string XdoTool(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/timeout", "20", "/usr/bin/xdotool"});
    ChildProcess tool(args, {"DISPLAY=" + display_}, true);
    std::string line = tool.ReadLine();
    tool.WaitExit(kExitLimit);
    return line;
  }

  // Starts the program, waits for the sheet, gives it the focus and types `keys`;
  // returns the program's exit status.
  std::optional<int> RunWithKeys(const std::vector<std::string>& keys) {
    ChildProcess program({QUORVEL_BINARY_DIR "/quorvel/quorvel"}, Env());
    const std::string window = XdoTool({"search", "--sync", "--name", "^Quorvel Options$"});
    EXPECT_FALSE(window.empty()) << "the options sheet did not appear";
    if (window.empty()) return std::nullopt;
    XdoTool({"windowfocus", "--sync", window});
    std::vector<std::string> press = {"key", "--delay", "50"};
    press.insert(press.end(), keys.begin(), keys.end());
    XdoTool(press);
    return program.WaitExit(kExitLimit);
  }

  fs::path Store() const { return dir_ / "quorvel" / "registry.reg"; }

  fs::path dir_;
  std::string display_;
  std::optional<ChildProcess> xvfb_;
};

TEST_F(ProgramE2eTest, EscapeSavesNothingAndEnterSavesTheChosenStartMode) {
  EXPECT_EQ(RunWithKeys({"Escape"}), 0);
  EXPECT_EQ(Slurp(Store()).find("\"FullScreen\""), std::string::npos);

  // The "Start as" list has the focus when the sheet opens: Down chooses the next mode.
  EXPECT_EQ(RunWithKeys({"Down", "Return"}), 0);
  EXPECT_NE(Slurp(Store()).find("\"FullScreen\"=dword:00000001"), std::string::npos)
      << Slurp(Store());
}

}  // namespace
}  // namespace quorvel

#pragma once
// The real quorvel program on its own X server, with its own settings store, driven with
// xdotool. The program is run from a copy under a name of this test's own: a copy under
// another file name is another program to the single-instance test, so tests that run
// at the same time (and other copies of quorvel on the machine) never stop each other.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/xvfb.h"

namespace quorvel::testing {

class ProgramUnderTest : public ::testing::Test {
 protected:
  static constexpr auto kStartLimit = std::chrono::seconds(20);
  static constexpr auto kExitLimit = std::chrono::seconds(10);

  void SetUp() override {
    namespace fs = std::filesystem;
    dir_ = fs::temp_directory_path() / ("quorvel-e2e-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "runtime");
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    program_ = dir_ / ("quorvel-" + std::to_string(getpid()));
    fs::copy_file(QUORVEL_BINARY_DIR "/quorvel/quorvel", program_);
    ASSERT_TRUE(xvfb_.Running()) << "Xvfb did not start (package xvfb)";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The program's environment: the test's display, store and runtime folder.
  std::vector<std::string> Env(std::vector<std::string> more = {}) const {
    more.insert(more.end(),
                {"DISPLAY=" + xvfb_.Display(), "XDG_CONFIG_HOME=" + dir_.string(),
                 "XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(), "QT_QPA_PLATFORM=xcb"});
    return more;
  }

  ChildProcess Start(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& env = {}) {
    std::vector<std::string> argv{program_.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return ChildProcess(argv, Env(env));
  }

  // quorvelctl on the test's store; true when it exited with 0.
  bool Quorvelctl(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess tool(argv, Env());
    return tool.WaitExit(kExitLimit) == 0;
  }

  // Runs xdotool and returns the first line it prints.
  std::string XdoTool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"/usr/bin/timeout", "20", "/usr/bin/xdotool"});
    ChildProcess tool(arguments, {"DISPLAY=" + xvfb_.Display()}, true);
    std::string line = tool.ReadLine();
    tool.WaitExit(kExitLimit);
    return line;
  }

  // Waits for a window titled `title` and gives it the keyboard focus; its id.
  std::string FocusWindow(const std::string& title) {
    const std::string window = XdoTool({"search", "--sync", "--name", "^" + title + "$"});
    EXPECT_FALSE(window.empty()) << title << " did not appear";
    if (!window.empty()) XdoTool({"windowfocus", "--sync", window});
    return window;
  }

  void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> press = {"key", "--delay", "100"};
    press.insert(press.end(), keys.begin(), keys.end());
    XdoTool(press);
  }

  std::filesystem::path Store() const { return dir_ / "quorvel" / "registry.reg"; }
  const std::filesystem::path& Dir() const { return dir_; }

  static std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path dir_;
  std::filesystem::path program_;
  Xvfb xvfb_;
};

}  // namespace quorvel::testing

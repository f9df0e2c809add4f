// The single-instance rule with the real program: copies started at the same moment, a
// zombie of the program's name, a copy of another user's, other displays. The program
// runs on Qt's offscreen platform from a copy under a short name of this test's own (a
// zombie's name is the first 15 bytes of its executable's).
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/instance_lock.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ChildProcess;

constexpr auto kEndLimit = 10s;
// How long a copy that claimed is watched to see that it keeps running.
constexpr auto kRunsOn = 500ms;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder every user can enter, for the copy that another user runs.
    root_ = fs::temp_directory_path() / ("quorvel-si-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "disk");
    fs::permissions(root_, fs::perms::all & ~fs::perms::others_write & ~fs::perms::group_write);
    name_ = "qvsi" + std::to_string(::getpid() % 100000);
    program_ = root_ / name_;
    fs::copy_file(QUORVEL_BINARY_DIR "/quorvel/quorvel", program_);
    fs::permissions(program_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    runtime_ = root_ / "runtime";
    fs::create_directories(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::vector<std::string> Env(const std::string& display) const {
    return {"DISPLAY=" + display, "QT_QPA_PLATFORM=offscreen",
            "XDG_CONFIG_HOME=" + (root_ / "config").string(),
            "XDG_RUNTIME_DIR=" + runtime_.string()};
  }
  std::vector<std::string> Argv(const fs::path& program) const {
    return {program.string(), "-fs", "-p", (root_ / "disk").string()};
  }
  std::unique_ptr<ChildProcess> Start(const std::string& display = ":901",
                                      const fs::path& program = {}) {
    return std::make_unique<ChildProcess>(Argv(program.empty() ? program_ : program), Env(display));
  }
  // True when `copy` runs on: it did not end within kRunsOn.
  static bool RunsOn(ChildProcess& copy) { return !copy.WaitExit(kRunsOn).has_value(); }

  fs::path root_;
  fs::path runtime_;
  std::string name_;
  fs::path program_;
};

TEST_F(SingleInstanceTest, OfTwoCopiesStartedAtOnceExactlyOneRuns) {
  constexpr int kPairs = 12;
  int exactlyOne = 0;
  for (int pair = 0; pair < kPairs; ++pair) {
    SCOPED_TRACE(pair);
    auto a = Start();
    auto b = Start();
    // One of them ends, silently and well; the other runs on.
    std::optional<int> endA;
    std::optional<int> endB;
    const auto deadline = std::chrono::steady_clock::now() + kEndLimit;
    while (!endA && !endB && std::chrono::steady_clock::now() < deadline) {
      endA = a->WaitExit(10ms);
      if (!endA) endB = b->WaitExit(10ms);
    }
    ASSERT_TRUE(endA || endB) << "both copies run";
    ChildProcess& survivor = endA ? *b : *a;
    EXPECT_EQ(endA ? *endA : *endB, 0);
    const bool runsOn = RunsOn(survivor);
    EXPECT_TRUE(runsOn) << "both copies ended";
    if (runsOn) ++exactlyOne;
    // The survivor ends (SIGTERM, the session's end) before the next pair starts.
  }
  std::printf("%d pairs started at once: exactly one copy ran in %d\n", kPairs, exactlyOne);
}

TEST_F(SingleInstanceTest, ADeadProcessOfTheSameNameIsNoRunningCopy) {
  // A zombie: a child of this test under the program's name that ended and is not
  // reaped.
  const fs::path zombieProgram = root_ / "zombie" / name_;
  fs::create_directories(zombieProgram.parent_path());
  fs::copy_file("/bin/true", zombieProgram);
  const pid_t zombie = ::fork();
  if (zombie == 0) {
    const char* argv[] = {zombieProgram.c_str(), nullptr};
    ::execv(zombieProgram.c_str(), const_cast<char* const*>(argv));
    ::_exit(127);
  }
  ASSERT_GT(zombie, 0);
  // Ended, not reaped: waitid with WNOWAIT leaves it a zombie.
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(zombie), &info, WEXITED | WNOWAIT), 0);

  auto copy = Start();
  EXPECT_TRUE(RunsOn(*copy)) << "a zombie named " << name_ << " stopped the program";
  copy.reset();
  ::waitpid(zombie, nullptr, 0);

  // A copy that was killed holds nothing either: the next one runs.
  auto killed = Start();
  ASSERT_TRUE(RunsOn(*killed));
  killed->Kill();
  auto next = Start();
  EXPECT_TRUE(RunsOn(*next)) << "a killed copy still held the claim";
}

TEST_F(SingleInstanceTest, EachDisplayAndEachNameHasItsOwnCopy) {
  auto first = Start(":901");
  ASSERT_TRUE(RunsOn(*first));
  // Another screen of the same display is the same display.
  auto sameDisplay = Start(":901.1");
  EXPECT_EQ(sameDisplay->WaitExit(kEndLimit), 0);
  auto otherDisplay = Start(":902");
  EXPECT_TRUE(RunsOn(*otherDisplay)) << "a copy on another display stopped it";
  // A copy under another file name is another program.
  const fs::path renamed = root_ / (name_ + "b");
  fs::copy_file(program_, renamed);
  auto other = Start(":901", renamed);
  EXPECT_TRUE(RunsOn(*other)) << "a copy under another name was stopped";
  EXPECT_TRUE(RunsOn(*first));
}

TEST_F(SingleInstanceTest, AnotherUsersCopyDoesNotStopTheProgram) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can start a copy as another user";
  // The other user's own runtime folder and home.
  constexpr uid_t kNobody = 65534;
  const fs::path theirs = root_ / "nobody";
  fs::create_directories(theirs / "runtime");
  ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chown((theirs / "runtime").c_str(), kNobody, kNobody), 0);
  fs::permissions(theirs / "runtime", fs::perms::owner_all);
  const std::string display = ":901";
  const pid_t other = ::fork();
  if (other == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(126);
    }
    const std::string home = "HOME=" + theirs.string();
    const std::string config = "XDG_CONFIG_HOME=" + theirs.string();
    const std::string runtime = "XDG_RUNTIME_DIR=" + (theirs / "runtime").string();
    const std::string displayEnv = "DISPLAY=" + display;
    const std::string disk = (root_ / "disk").string();
    const char* argv[] = {program_.c_str(), "-fs", "-p", disk.c_str(), nullptr};
    const char* envp[] = {home.c_str(),
                          config.c_str(),
                          runtime.c_str(),
                          displayEnv.c_str(),
                          "QT_QPA_PLATFORM=offscreen",
                          nullptr};
    ::execve(program_.c_str(), const_cast<char* const*>(argv), const_cast<char* const*>(envp));
    ::_exit(127);
  }
  ASSERT_GT(other, 0);
  std::this_thread::sleep_for(kRunsOn);
  int status = 0;
  ASSERT_EQ(::waitpid(other, &status, WNOHANG), 0) << "the other user's copy did not run";

  auto mine = Start(display);
  EXPECT_TRUE(RunsOn(*mine)) << "another user's copy stopped the program";
  ::kill(other, SIGTERM);
  ::waitpid(other, &status, 0);
}

TEST(InstanceLock, TheLockFileIsTheUsersAndNamesProgramUserHostAndDisplay) {
  testing::TempDir dir;
  const char* display = std::getenv("DISPLAY");
  const std::string savedDisplay = display != nullptr ? display : "";
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  ::setenv("DISPLAY", "unix:3.1", 1);
  EXPECT_EQ(DisplayKey(), "x11:3");
  const std::string path = InstanceLockPath("Quor Vel/\xe9.EXE");
  ASSERT_EQ(path.rfind((dir.path() / "quorvel").string() + "/instance-quor%20vel%2f%e9.exe-", 0),
            0u)
      << path;
  EXPECT_NE(path.find("-" + std::to_string(::geteuid()) + "-"), std::string::npos);
  EXPECT_TRUE(path.ends_with("-x11:3.lock")) << path;
  // A folder that is not the user's own (a link planted there) is passed over.
  fs::remove_all(dir.path() / "quorvel");
  fs::create_symlink("/tmp", dir.path() / "quorvel");
  EXPECT_EQ(InstanceLockPath("quorvel").rfind((dir.path() / "quorvel").string(), 0),
            std::string::npos);
  ::unsetenv("XDG_RUNTIME_DIR");
  if (savedDisplay.empty()) {
    ::unsetenv("DISPLAY");
  } else {
    ::setenv("DISPLAY", savedDisplay.c_str(), 1);
  }
}

}  // namespace
}  // namespace quorvel

#pragma once
// Shared pieces of the tests that start real processes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace quorvel::testing {

// A fresh folder named after the running test, removed at the end.
class TestFolder {
 public:
  TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("quorvel-") + info->test_suite_name() + "-" + info->name() + "-" +
             std::to_string(getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() { std::filesystem::remove_all(path_); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits until `done` holds, checking every 20 ms, for at most `limit`.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// True while process `pid` runs: it exists and is not a zombie waiting to be reaped.
inline bool IsRunning(unsigned pid) {
  std::string stat = ReadFileText("/proc/" + std::to_string(pid) + "/stat");
  std::size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// A test program built with the tests.
inline std::filesystem::path TestProgram(const char* name) {
  return std::filesystem::path(QUORVEL_BINARY_DIR) / "tests" / "platform" / "linux" / name;
}

inline void CopyProgram(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::create_directories(to.parent_path());
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(to, std::filesystem::perms::owner_all);
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `args` with stdout and stderr caught and waits for it.
inline RunResult RunProgram(const std::vector<std::string>& args,
                            const std::filesystem::path& folder) {
  const std::filesystem::path out = folder / "run.out";
  const std::filesystem::path err = folder / "run.err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  RunResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFileText(out);
  result.err = ReadFileText(err);
  return result;
}

// quorvelctl as built with the tests.
inline std::string Quorvelctl() {
  return std::string(QUORVEL_BINARY_DIR) + "/quorvelctl/quorvelctl";
}

}  // namespace quorvel::testing

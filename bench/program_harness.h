#pragma once
// Runs a GUI program of the benchmarks on a private X server and learns when its first
// painted frame reached the server (through first_frame_shim, preloaded), how much CPU
// time it used and how much memory it holds.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace quorvel::bench {

inline std::int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

// One run of a program; ended (SIGTERM, then reaped) when the object goes.
class Run {
 public:
  // Starts `argv` with this process's environment plus `env`, the shim preloaded.
  Run(const std::vector<std::string>& argv, std::vector<std::string> env) {
    int fds[2];
    if (pipe(fds) != 0) return;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    readFd_ = fds[0];
    env.push_back("LD_PRELOAD=" QUORVEL_FIRST_FRAME_SHIM);
    env.push_back("QUORVEL_FIRST_FRAME_FD=" + std::to_string(fds[1]));
    std::vector<std::string> all;
    for (char** e = environ; *e != nullptr; ++e) all.emplace_back(*e);
    all.insert(all.end(), env.begin(), env.end());
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : all) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    started_ = MonotonicNs();
    if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    close(fds[1]);
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (readFd_ >= 0) close(readFd_);
  }

  // Nanoseconds from the start to the first frame; none when none came within `limit`.
  std::optional<std::int64_t> FirstFrame(std::chrono::milliseconds limit) {
    pollfd ready{readFd_, POLLIN, 0};
    if (pid_ <= 0 || poll(&ready, 1, static_cast<int>(limit.count())) != 1) return std::nullopt;
    char line[64] = {};
    if (read(readFd_, line, sizeof line - 1) <= 0) return std::nullopt;
    return std::strtoll(line, nullptr, 10) - started_;
  }

  // User and system CPU time used so far, in seconds.
  double CpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    // The fields after the command name, which is in parentheses and may hold blanks.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    std::uint64_t utime = 0;
    std::uint64_t stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::stoull(field);
      if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

  // A "Vm..." line of /proc/PID/status in megabytes (1,000,000 bytes).
  double StatusMegabytes(const std::string& name) const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(name + ":", 0) == 0) {
        return std::strtod(line.c_str() + name.size() + 1, nullptr) * 1024.0 / 1e6;
      }
    }
    return 0;
  }

  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
  int readFd_ = -1;
  std::int64_t started_ = 0;
};

// A session bus of the benchmark's own (dbus-daemon), as every desktop session has one.
// Without it, the first program that asks for the session bus (Qt's accessibility
// bridge does, once a widget such as a list view asks whether a screen reader is
// active) would start a bus of its own through dbus-launch on the X server, pay for
// that start in its time and leave the daemon running.
class SessionBus {
 public:
  explicit SessionBus(const std::string& socketPath) : address_("unix:path=" + socketPath) {
    const std::string config = "--session";
    const std::string address = "--address=" + address_;
    std::vector<char*> args = {const_cast<char*>("dbus-daemon"), const_cast<char*>(config.c_str()),
                               const_cast<char*>("--nofork"), const_cast<char*>(address.c_str()),
                               nullptr};
    // Its complaints (it may not raise its descriptor limit) are not the benchmark's.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      pid_ = -1;
      return;
    }
    // Ready once its socket is there.
    for (int i = 0; i < 500 && access(socketPath.c_str(), F_OK) != 0; ++i) usleep(10000);
  }
  ~SessionBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  bool Running() const { return pid_ > 0; }
  // The environment entry that points a program at this bus.
  std::string Environment() const { return "DBUS_SESSION_BUS_ADDRESS=" + address_; }

 private:
  std::string address_;
  pid_t pid_ = -1;
};

}  // namespace quorvel::bench

#pragma once
// Runs a shell command line for a test and collects what it writes to standard output.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace quorvel::testing {

struct CommandRun {
  int status = -1;  // the exit status, or -1 when the command did not exit normally
  std::string out;
};

inline CommandRun RunShell(const std::string& command) {
  CommandRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace quorvel::testing

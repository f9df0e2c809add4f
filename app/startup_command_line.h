#pragma once
// The program's command line: the switch "fs" (start with the full-screen window) and
// the switch "p" followed by the disk path.

#include <span>
#include <string>
#include <string_view>

namespace quorvel {

class CStartupCommandLine {
 public:
  // Where an absolute path begins with "/" (Linux), "/" starts a switch only for the
  // program's own switch names, so that "/p /pub/movies" gives the path "/pub/movies";
  // elsewhere every argument beginning with "/" or "-" is a switch.
  explicit CStartupCommandLine(bool slashStartsPaths) : slashStartsPaths_(slashStartsPaths) {}

  // Takes one argument (without the program's name), in order:
  //  - switch "fs" (any letter case, after "/", "-" or "--"): fullScreen;
  //  - switch "p": the next plain argument becomes diskPath;
  //  - a plain argument while a "p" is pending: diskPath;
  //  - anything else is ignored.
  void ParseArgument(std::string_view argument);
  // Every argument in order.
  void Parse(std::span<const std::string> arguments);

  std::string diskPath;
  bool fullScreen = false;

 private:
  bool slashStartsPaths_;
  bool pendingPath_ = false;
};

}  // namespace quorvel

#include "app/startup_command_line.h"

#include "windows_rules/ascii.h"

namespace quorvel {
namespace {

constexpr std::string_view kFullScreenSwitch = "fs";
constexpr std::string_view kPathSwitch = "p";

bool IsKnownSwitch(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, kFullScreenSwitch) ||
         EqualsIgnoringAsciiCase(name, kPathSwitch);
}

}  // namespace

void CStartupCommandLine::ParseArgument(std::string_view argument) {
  std::string_view name;
  bool isSwitch = false;
  if (argument.starts_with("--") && IsKnownSwitch(argument.substr(2))) {
    name = argument.substr(2);
    isSwitch = true;
  } else if (argument.starts_with('-')) {
    name = argument.substr(1);
    isSwitch = true;
  } else if (argument.starts_with('/')) {
    name = argument.substr(1);
    // "/pub" is a folder, not the switch "p" with something after it.
    isSwitch = !slashStartsPaths_ || IsKnownSwitch(name);
  }

  if (!isSwitch) {
    if (pendingPath_) {
      diskPath.assign(argument);
      pendingPath_ = false;
    }
    return;
  }
  if (EqualsIgnoringAsciiCase(name, kFullScreenSwitch)) {
    fullScreen = true;
  } else if (EqualsIgnoringAsciiCase(name, kPathSwitch)) {
    pendingPath_ = true;
  }
}

void CStartupCommandLine::Parse(std::span<const std::string> arguments) {
  for (const std::string& argument : arguments) ParseArgument(argument);
}

}  // namespace quorvel

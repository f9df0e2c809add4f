#pragma once
// Each group of quorvelctl commands adds its sub-commands to the application here.
// A command's callback sets `exitCode`; main returns it.

#include <memory>

#include "platform/services.h"
#include "quorvelctl/command_line.h"
#include "quorvelctl/stderr_messages.h"

namespace quorvelctl {

// What every command works with: the platform's services, wired once for the run, with
// the user's messages on stderr.
struct Context {
  Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  const quorvel::Services& services() const { return platform->services; }

  StderrMessages messages;
  std::unique_ptr<quorvel::PlatformServices> platform;
  int exitCode = 0;
};

void AddSettingsCommands(Command& app, Context& context);
void AddPlayersCommands(Command& app, Context& context);
void AddPictureCommands(Command& app, Context& context);
void AddDiskCommands(Command& app, Context& context);
void AddPlaybackCommands(Command& app, Context& context);

}  // namespace quorvelctl

#pragma once
// Each group of quorvelctl commands adds its sub-commands to the application here.
// A command's callback sets `exitCode`; main returns it.

#include "quorvelctl/command_line.h"

namespace quorvelctl {

struct Context {
  int exitCode = 0;
};

void AddSettingsCommands(Command& app, Context& context);
void AddPlayersCommands(Command& app, Context& context);
void AddPictureCommands(Command& app, Context& context);
void AddDiskCommands(Command& app, Context& context);
void AddPlaybackCommands(Command& app, Context& context);

}  // namespace quorvelctl

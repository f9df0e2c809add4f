#pragma once
// Each group of quorvelctl commands adds its sub-commands to the application here.
// A command's callback sets `exitCode`; main returns it.

#include <CLI/CLI.hpp>

namespace quorvelctl {

struct Context {
  int exitCode = 0;
};

void AddSettingsCommands(CLI::App& app, Context& context);
void AddPlayersCommands(CLI::App& app, Context& context);
void AddPictureCommands(CLI::App& app, Context& context);
void AddDiskCommands(CLI::App& app, Context& context);
void AddPlaybackCommands(CLI::App& app, Context& context);

}  // namespace quorvelctl

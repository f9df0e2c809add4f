#pragma once
// Each group of quorvelctl commands adds its sub-commands to the application here.
// A command's callback sets `exitCode`; main returns it.

#include <CLI/CLI.hpp>
#include <memory>

#include "platform/services.h"
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

void AddSettingsCommands(CLI::App& app, Context& context);
void AddPlayersCommands(CLI::App& app, Context& context);
void AddPictureCommands(CLI::App& app, Context& context);
void AddDiskCommands(CLI::App& app, Context& context);
void AddPlaybackCommands(CLI::App& app, Context& context);

}  // namespace quorvelctl

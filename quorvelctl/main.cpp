// quorvelctl: the command-line tool over the core of Quorvel.
#include <CLI/CLI.hpp>

#include "quorvelctl/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"quorvelctl: look at and change what Quorvel sees and stores"};
  app.require_subcommand(1);
  quorvelctl::Context context;
  quorvelctl::AddSettingsCommands(app, context);
  quorvelctl::AddPlayersCommands(app, context);
  quorvelctl::AddPictureCommands(app, context);
  quorvelctl::AddDiskCommands(app, context);
  quorvelctl::AddPlaybackCommands(app, context);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  return context.exitCode;
}

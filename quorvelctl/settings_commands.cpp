#include "quorvelctl/commands.h"

namespace quorvelctl {

void AddSettingsCommands(CLI::App& app, Context& context) {
  auto* settings = app.add_subcommand("settings", "Show or change the stored settings");
  settings->callback([&context] { context.exitCode = 0; });
}

}  // namespace quorvelctl

#include "quorvelctl/command_line.h"

#include <CLI/CLI.hpp>

#include "quorvelctl/commands.h"

namespace quorvelctl {

Option* Option::required() {
  option_.required();
  return this;
}

Option* Option::check(const Check& check) {
  switch (check.kind) {
    case Check::Kind::PositiveNumber:
      option_.check(CLI::PositiveNumber);
      break;
    case Check::Kind::Range:
      option_.check(CLI::Range(check.low, check.high));
      break;
  }
  return this;
}

Option* Option::excludes(Option* other) {
  option_.excludes(&other->option_);
  return this;
}

Option* Option::option_text(const std::string& text) {
  option_.option_text(text);
  return this;
}

Command* Command::add_subcommand(const std::string& name, const std::string& description) {
  commands_.push_back(std::make_unique<Command>(*app_.add_subcommand(name, description)));
  return commands_.back().get();
}

Option* Command::Keep(CLI::Option* option) {
  options_.push_back(std::make_unique<Option>(*option));
  return options_.back().get();
}

Option* Command::add_option(const std::string& name, std::string& value,
                            const std::string& description) {
  return Keep(app_.add_option(name, value, description));
}

Option* Command::add_option(const std::string& name, int& value, const std::string& description) {
  return Keep(app_.add_option(name, value, description));
}

Option* Command::add_option(const std::string& name, std::vector<std::string>& values,
                            const std::string& description) {
  return Keep(app_.add_option(name, values, description));
}

Option* Command::add_flag(const std::string& name, bool& value, const std::string& description) {
  return Keep(app_.add_flag(name, value, description));
}

void Command::callback(std::function<void()> run) { app_.callback(std::move(run)); }

bool Command::parsed() const { return app_.parsed(); }

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"quorvelctl: look at and change what Quorvel sees and stores"};
  app.set_version_flag("--version", "quorvelctl " QUORVEL_VERSION);
  app.require_subcommand(1);
  Command root(app);
  Context context;
  AddSettingsCommands(root, context);
  AddPlayersCommands(root, context);
  AddPictureCommands(root, context);
  AddDiskCommands(root, context);
  AddPlaybackCommands(root, context);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  return context.exitCode;
}

}  // namespace quorvelctl

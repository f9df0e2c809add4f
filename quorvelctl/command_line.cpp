#include "quorvelctl/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <climits>
#include <string>

#include "quorvelctl/commands.h"

namespace quorvelctl {

namespace {

// A whole number from `low` to `high`, said in words when the text is none: CLI11's own
// checks name the range of a double (300 digits) or the C++ type.
CLI::Validator WholeNumber(long long low, long long high) {
  const std::string wanted = high == INT_MAX
                                 ? std::to_string(low) + " or more"
                                 : "from " + std::to_string(low) + " to " + std::to_string(high);
  const std::string name = high == INT_MAX ? "NUMBER>=" + std::to_string(low)
                                           : std::to_string(low) + ".." + std::to_string(high);
  return CLI::Validator(
      [low, high, wanted](std::string& text) -> std::string {
        long long number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || error == std::errc::invalid_argument ||
            end != text.data() + text.size()) {
          return "\"" + text + "\" is not a whole number; it must be " + wanted;
        }
        const bool outside = error == std::errc::result_out_of_range;
        const bool tooHigh = outside ? text[0] != '-' : number > high;
        if (tooHigh && high == INT_MAX) {
          return "must be at most " + std::to_string(high) + ", not " + text;
        }
        if (outside || tooHigh || number < low) return "must be " + wanted + ", not " + text;
        return "";
      },
      name);
}

}  // namespace

Option* Option::required() {
  option_.required();
  return this;
}

Option* Option::check(const Check& check) {
  switch (check.kind) {
    case Check::Kind::PositiveNumber:
      option_.check(WholeNumber(1, INT_MAX));
      break;
    case Check::Kind::Range:
      option_.check(WholeNumber(check.low, check.high));
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

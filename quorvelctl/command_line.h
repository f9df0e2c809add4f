#pragma once
// The command line as the command groups describe it: sub-commands with their options,
// flags and callbacks. The calls are CLI11's own, cut to those the commands make, so that
// CLI11 is compiled once, in command_line.cpp, rather than in every command file.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace quorvelctl {

// A rule that an option's value must meet.
struct Check {
  enum class Kind { PositiveNumber, Range };
  Kind kind;
  int low = 0;
  int high = 0;
};
inline constexpr Check PositiveNumber{Check::Kind::PositiveNumber};
constexpr Check Range(int low, int high) { return {Check::Kind::Range, low, high}; }

class Option {
 public:
  explicit Option(CLI::Option& option) : option_(option) {}

  Option* required();
  Option* check(const Check& check);
  Option* excludes(Option* other);
  // The name of the value in the help text.
  Option* option_text(const std::string& text);

 private:
  CLI::Option& option_;
};

class Command {
 public:
  explicit Command(CLI::App& app) : app_(app) {}

  Command* add_subcommand(const std::string& name, const std::string& description);
  // A name starting with "-" is an option; any other name is a positional argument.
  Option* add_option(const std::string& name, std::string& value, const std::string& description);
  Option* add_option(const std::string& name, int& value, const std::string& description);
  Option* add_option(const std::string& name, std::vector<std::string>& values,
                     const std::string& description);
  Option* add_flag(const std::string& name, bool& value, const std::string& description);
  // Runs when the command line names this command.
  void callback(std::function<void()> run);
  // True once the command line has been parsed and named this command.
  bool parsed() const;

 private:
  Option* Keep(CLI::Option* option);

  CLI::App& app_;
  std::vector<std::unique_ptr<Command>> commands_;
  std::vector<std::unique_ptr<Option>> options_;
};

// Parses the command line against every command group and runs the command it names;
// returns the exit status (2 for a command line that cannot be parsed).
int RunCommandLine(int argc, char** argv);

}  // namespace quorvelctl

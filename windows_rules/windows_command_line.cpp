#include "windows_rules/windows_command_line.h"

namespace quorvel {

namespace {

constexpr int kBackslash = '\\';
constexpr int kQuote = '"';

bool IsSeparator(int c) { return c == ' ' || c == '\t'; }

// The further arguments of a command line, from position `i` of `line`.
template <typename Sequence, typename Argument>
std::vector<Argument> SplitFrom(const Sequence& line, std::size_t i) {
  std::vector<Argument> args;
  const std::size_t n = line.size();
  auto at = [&line](std::size_t k) { return static_cast<int>(line[k]); };
  for (;;) {
    while (i < n && IsSeparator(at(i))) ++i;
    if (i >= n) break;
    Argument arg;
    bool inQuotes = false;
    for (;;) {
      std::size_t backslashes = 0;
      while (i < n && at(i) == kBackslash) {
        ++backslashes;
        ++i;
      }
      bool copy = true;
      if (i < n && at(i) == kQuote) {
        if (backslashes % 2 == 0) {
          if (inQuotes && i + 1 < n && at(i + 1) == kQuote) {
            ++i;  // "" inside quotes: one literal quote, still grouped
          } else {
            copy = false;
            inQuotes = !inQuotes;
          }
        }
        backslashes /= 2;
      }
      arg.insert(arg.end(), backslashes, '\\');
      if (i >= n || (!inQuotes && IsSeparator(at(i)))) break;
      if (copy) arg.push_back(line[i]);
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  // The program name: quotes toggle grouping, nothing escapes.
  std::string name;
  std::size_t i = 0;
  bool inQuotes = false;
  while (i < line.size() && (inQuotes || !IsSeparator(line[i]))) {
    if (line[i] == '"') {
      inQuotes = !inQuotes;
    } else {
      name += line[i];
    }
    ++i;
  }
  std::vector<std::string> args = SplitFrom<std::string_view, std::string>(line, i);
  args.insert(args.begin(), std::move(name));
  return args;
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  return SplitFrom<std::string_view, std::string>(arguments, 0);
}

std::vector<CommandSymbols> SplitArgumentSymbols(const CommandSymbols& symbols) {
  return SplitFrom<CommandSymbols, CommandSymbols>(symbols, 0);
}

std::string EscapeInsideQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  // The closing quote follows: trailing backslashes are doubled so that it stays one.
  out.append(backslashes * 2, '\\');
  return out;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
    return std::string(argument);
  }
  return '"' + EscapeInsideQuotes(argument) + '"';
}

}  // namespace quorvel

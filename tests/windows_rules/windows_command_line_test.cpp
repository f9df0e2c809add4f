#include "windows_rules/windows_command_line.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, SplitsByTheWindowsRules) {
  struct Case {
    std::string line;
    Args expected;
  };
  const std::vector<Case> cases = {
      {R"("a b c" d e)", {"a b c", "d", "e"}},
      {R"("ab\"c" "\\" d)", {"ab\"c", "\\", "d"}},
      {R"(a\\\b d"e f"g h)", {"a\\\\\\b", "de fg", "h"}},
      {R"(a\\\"b c d)", {"a\\\"b", "c", "d"}},
      {R"(a\\\\"b c" d e)", {"a\\\\b c", "d", "e"}},
      {R"(a"b"" c d)", {"ab\" c d"}},  // "" inside quotes: a quote, still grouped
      {"a\tb  \t c", {"a", "b", "c"}},
      {"line\nbreak \r", {"line\nbreak", "\r"}},  // only blank and tab separate
      {R"("" x)", {"", "x"}},
      {R"(trailing\)", {"trailing\\"}},
      {"  ", {}},
      {R"("unterminated quote)", {"unterminated quote"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitArguments(c.line), c.expected) << c.line;
  }
}

TEST(CommandLineTest, ProgramNameKeepsBackslashesAndOnlyGroups) {
  EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\x.exe" -a)"),
            (Args{R"(C:\Program Files\x.exe)", "-a"}));
  EXPECT_EQ(SplitCommandLine(R"(C:\a\"b c"\d.exe x\"y)"), (Args{R"(C:\a\b c\d.exe)", "x\"y"}));
  EXPECT_EQ(SplitCommandLine(R"("/usr/bin/mpv" )"), (Args{"/usr/bin/mpv"}));
  EXPECT_EQ(SplitCommandLine(""), (Args{""}));
}

TEST(CommandLineTest, QuotedArgumentsComeBackUnchanged) {
  const Args nasty = {"",   "plain", "two  blanks", "a\"b",      "c:\\dir\\",   "x\\\\\"y\\",
                      "\"", "\\",    "tab\there",   "new\nline", "\x93\xE9\xFF"};
  std::string line;
  for (const auto& arg : nasty) line += QuoteArgument(arg) + ' ';
  EXPECT_EQ(SplitArguments(line), nasty);
  EXPECT_EQ(QuoteArgument("plain\\path"), "plain\\path");
  EXPECT_EQ(QuoteArgument("a b\\"), "\"a b\\\\\"");
}

}  // namespace
}  // namespace quorvel

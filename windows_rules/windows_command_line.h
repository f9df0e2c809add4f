#pragma once
// Windows command lines: how a program's command line is split into arguments, and how
// one argument is written so that it comes back unchanged. Players are started from a
// command line composed the Windows way on every platform, so both directions are
// written once here.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Splits `commandLine` into arguments by the rules of the Microsoft C runtime (the
// rules that Windows programs use to build argv):
// - The first argument, the program name, runs to the first blank or tab outside
//   double quotes; double quotes only group, backslashes are ordinary characters.
// - Every further argument is separated by blanks and tabs outside double quotes.
//   2n backslashes followed by a double quote give n backslashes and the quote
//   groups; 2n+1 backslashes followed by a double quote give n backslashes and a
//   literal quote; backslashes not followed by a quote are literal. Inside quotes,
//   two double quotes give one literal quote and grouping goes on.
// Every other byte, NUL and line ends included, is an ordinary character. The result
// always holds the program name, empty or not.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments of an argument text (what follows the program name), by the rules
// for the further arguments above.
std::vector<std::string> SplitArguments(std::string_view arguments);

// SplitArguments over symbols: values 0-255 are bytes, larger values are ordinary
// characters that stand for something else (a placeholder).
using CommandSymbols = std::vector<int>;
std::vector<CommandSymbols> SplitArgumentSymbols(const CommandSymbols& symbols);

// `argument` written so that SplitArguments gives it back as exactly one argument:
// unchanged when it is not empty and holds no blank, tab or double quote, else in
// double quotes with EscapeInsideQuotes applied.
std::string QuoteArgument(std::string_view argument);

// Text for use between double quotes that the splitter turns back into `text`,
// provided the character that follows it is the closing quote: each quote becomes \"
// and the backslashes before a quote, or at the end, are doubled.
std::string EscapeInsideQuotes(std::string_view text);

}  // namespace quorvel

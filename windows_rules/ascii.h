#pragma once
// ASCII-only text tests. Names (files, registry keys, INI sections) compare without
// regard to the case of ASCII letters; other bytes compare as they are, as Windows does
// for the ANSI names this program handles.

#include <string_view>

namespace quorvel {

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Byte-wise equality with ASCII letters compared without regard to case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Ordering by ASCII-lower-cased bytes, ties broken by the bytes themselves, so the
// order is total and stable across runs.
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

// The value of a hexadecimal digit, or -1.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace quorvel

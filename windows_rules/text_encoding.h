#pragma once
// Texts are held as bytes in the ANSI code page (Windows-1252), but texts written on
// Linux are often UTF-8 already. For showing them as UTF-8: bytes that are valid UTF-8
// stay as they are; anything else is taken as Windows-1252.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Every byte read as Windows-1252 and written as UTF-8. The five bytes Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the
// same number, as Windows maps them.
std::string Windows1252ToUtf8(std::string_view bytes);

// `bytes` itself when it is valid UTF-8, otherwise Windows1252ToUtf8(bytes).
std::string ToUtf8(std::string_view bytes);

// The Windows-1252 byte of the character `code`, or nothing when it has none. The
// reverse of Windows1252ToUtf8: the control characters 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// give the undefined bytes of the same number.
std::optional<char> Windows1252FromCodePoint(char32_t code);

}  // namespace quorvel

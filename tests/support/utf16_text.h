#pragma once
// UTF-16LE (characters of the Basic Multilingual Plane) to UTF-8 and back, for making
// the other forms of one registry export. Written apart from the store's own reader on
// purpose: a test that used the reader's conversion to make its input would test it
// against itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "windows_rules/little_endian.h"

namespace quorvel::testing {

inline std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned code = LoadLittleEndian16(bytes.data() + i);
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

inline std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    unsigned code = lead;
    std::size_t length = 1;
    if (lead >= 0xE0) {
      code = lead & 0x0F;
      length = 3;
    } else if (lead >= 0xC0) {
      code = lead & 0x1F;
      length = 2;
    }
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
      code = (code << 6) | (text[i + k] & 0x3F);
    }
    AppendLittleEndian(out, code, 2);
    i += length;
  }
  return out;
}

}  // namespace quorvel::testing

#pragma once
// Reading and writing single values the way every stored record of the program does:
// numbers through a 4-byte buffer, texts through a 1024-byte buffer, the stored type
// never looked at, and a value that is missing or does not fit leaving the field as
// it was.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quorvel {

// The buffer sizes the program reads values with. A text of 1024 bytes or more
// (terminating NUL included: more than 1023 characters) does not fit and is not read.
inline constexpr std::uint32_t kNumberBufferSize = 4;
inline constexpr std::uint32_t kTextBufferSize = 1024;

// The field takes the bytes read as the low bytes of a little-endian number; bytes the
// value does not cover keep the field's own (a value shorter than 4 bytes changes only
// the low bytes, as reading straight into the field does).
bool ReadNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t& field);
bool ReadNumber(Registry& registry, RegKey key, std::string_view name, std::int32_t& field);
// The field takes the bytes read up to the first NUL.
bool ReadText(Registry& registry, RegKey key, std::string_view name, std::string& field);

// What came of reading a text.
enum class TextRead { Read, Missing, TooLong };
// ReadText that tells a value too long for the buffer (damaged: the program never
// stores one) from a missing one; in both cases the field keeps what it holds.
TextRead ReadTextValue(Registry& registry, RegKey key, std::string_view name, std::string& field);

// Whether the key holds a value of that name, of any size.
bool ValueStored(Registry& registry, RegKey key, std::string_view name);

// REG_DWORD, 4 bytes little-endian.
bool WriteNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t value);
bool WriteNumber(Registry& registry, RegKey key, std::string_view name, std::int32_t value);
// REG_SZ, the text and its terminating NUL.
bool WriteText(Registry& registry, RegKey key, std::string_view name, const std::string& text);
// The same as defaults that only fill a gap (Registry::SetDefaultValue).
bool WriteDefaultNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t value);
bool WriteDefaultText(Registry& registry, RegKey key, std::string_view name,
                      const std::string& text);

}  // namespace quorvel

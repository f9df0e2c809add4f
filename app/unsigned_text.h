#pragma once
// Reading a whole number that the user typed, such as the megabytes of the smallest
// media file to show.

#include <cstdint>
#include <string_view>

namespace quorvel {

// The whole number of 0 or more that `text` holds, blanks around it allowed, no sign.
// False, with `value` untouched, when the text holds anything else or a number too large
// for 32 bits.
bool ParseUnsignedText(std::string_view text, std::uint32_t& value);

}  // namespace quorvel

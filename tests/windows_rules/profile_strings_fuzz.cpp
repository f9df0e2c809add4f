// Fuzz target: profile text of random bytes, asked every way the disk readers ask,
// with buffer sizes small enough to cut names and values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "windows_rules/profile_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks a buffer size, so cutting is explored next to the real 1024.
  const std::size_t smallBuffer = data[0] % 64;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const quorvel::ProfileStrings profile(text);
  for (std::size_t buffer : {smallBuffer, std::size_t{1024}}) {
    const std::string sections = profile.Get(std::nullopt, std::nullopt, "", buffer);
    if (sections.size() >= buffer && buffer > 0) __builtin_trap();
    for (const std::string& section : quorvel::ProfileStrings::SplitNameList(sections)) {
      const std::string keys = profile.Get(section, std::nullopt, "", buffer);
      for (const std::string& key : quorvel::ProfileStrings::SplitNameList(keys)) {
        const std::string value = profile.Get(section, key, "default", buffer);
        if (buffer > 0 && value.size() > buffer - 1) __builtin_trap();
      }
    }
  }
  return 0;
}

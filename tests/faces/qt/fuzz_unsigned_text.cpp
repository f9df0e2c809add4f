// Fuzz target: the parser of typed whole numbers against a plain model of what it must
// accept (blanks, digits, blanks; at most 4294967295) and return.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/unsigned_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool valid = begin < end;
  std::uint64_t expected = 0;
  for (std::size_t i = begin; valid && i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') {
      valid = false;
    } else {
      expected = expected * 10 + static_cast<std::uint64_t>(text[i] - '0');
      if (expected > UINT32_MAX) valid = false;
    }
  }
  std::uint32_t value = 7;
  const bool parsed = quorvel::ParseUnsignedText(text, value);
  if (parsed != valid) std::abort();
  if (parsed ? value != expected : value != 7) std::abort();
  return 0;
}

#include "app/unsigned_text.h"

#include <charconv>

namespace quorvel {

bool ParseUnsignedText(std::string_view text, std::uint32_t& value) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  // from_chars would take neither a sign nor blanks, but say so explicitly: a leading
  // '-' must never wrap round to a huge count.
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  std::uint32_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

}  // namespace quorvel

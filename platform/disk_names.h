#pragma once
// Text helpers for names that come from disks written on Windows.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Byte-wise equality with ASCII letters compared without regard to case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Ordering by ASCII-lower-cased bytes, ties broken by the bytes themselves, so the
// order is total and stable across runs.
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when `text` ends in `suffix`, ASCII case ignored.
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

// The components of a disk-file path: split at '\\' and '/', empty ones dropped.
std::vector<std::string_view> SplitDiskName(std::string_view name);

}  // namespace quorvel

#pragma once
// Text helpers for names that come from disks written on Windows.

#include <string>
#include <string_view>
#include <vector>

#include "windows_rules/ascii.h"  // the case rules names are compared by

namespace quorvel {

// The components of a disk-file path: split at '\\' and '/', empty ones dropped.
std::vector<std::string_view> SplitDiskName(std::string_view name);

}  // namespace quorvel

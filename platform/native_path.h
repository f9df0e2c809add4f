#pragma once
// The platform's own paths: its separator and its current folder. The backend defines
// these; the rules that join paths are in windows_rules/path_rules.h.

#include <optional>
#include <string>
#include <string_view>

#include "windows_rules/path_rules.h"

namespace quorvel {

// The separator of the platform's own paths ('\\' on Windows, '/' on Linux); the
// backend defines it.
char NativeSeparator();

// JoinPath with NativeSeparator().
inline std::string JoinNativePath(std::string_view folder, std::string_view name) {
  return JoinPath(folder, name, NativeSeparator());
}

// `path` as an absolute path of the platform: unchanged when it is absolute already,
// else the current folder, a separator and `path` (nothing in `path` is touched: "."
// and ".." stay, and the file system resolves them as it would have for the relative
// path). "" stays "". nullopt when the current folder cannot be learned. The backend
// defines it.
std::optional<std::string> AbsoluteNativePath(std::string_view path);

}  // namespace quorvel

#include "platform/native_path.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "windows_rules/path_rules.h"

namespace quorvel {

char NativeSeparator() { return '/'; }

std::optional<std::string> AbsoluteNativePath(std::string_view path) {
  if (path.empty() || path.front() == '/') return std::string(path);
  // The current folder may be longer than any fixed buffer: grow until it fits.
  std::vector<char> folder(256);
  while (::getcwd(folder.data(), folder.size()) == nullptr) {
    if (errno != ERANGE) return std::nullopt;
    folder.resize(folder.size() * 2);
  }
  std::string absolute(folder.data());
  // Only the root itself ends in a separator. A folder name is taken as it is: no
  // white space is trimmed, unlike JoinPath, since it is a real folder's name.
  if (absolute.back() != '/') absolute.push_back('/');
  absolute.append(path);
  return absolute;
}

}  // namespace quorvel

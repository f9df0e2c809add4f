#include "windows_rules/path_rules.h"

namespace quorvel {

bool IsBlankByte(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlankByte(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankByte(text.back())) text.remove_suffix(1);
  return text;
}

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
  while (!folder.empty() && IsBlankByte(folder.back())) folder.remove_suffix(1);
  while (!folder.empty() && folder.back() == separator) folder.remove_suffix(1);
  while (!name.empty() && name.front() == separator) name.remove_prefix(1);
  std::string joined;
  joined.reserve(folder.size() + 1 + name.size());
  joined.append(folder);
  joined.push_back(separator);
  joined.append(name);
  return joined;
}

std::string DriveLetterVolumeRoot(std::string_view path) {
  const std::size_t colon = path.find(':');
  if (colon != std::string_view::npos && colon > 0) {
    std::string root(path.substr(0, colon + 1));
    root.push_back('\\');
    return root;
  }
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    const std::size_t server_end = path.find('\\', 2);
    if (server_end == std::string_view::npos) return {};
    const std::size_t share_end = path.find('\\', server_end + 1);
    if (share_end == std::string_view::npos) return std::string(path) + '\\';
    return std::string(path.substr(0, share_end + 1));
  }
  return {};
}

}  // namespace quorvel

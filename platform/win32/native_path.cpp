#include "platform/native_path.h"

#include <windows.h>

#include <vector>

namespace quorvel {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The current folder through a buffer that grows until it fits.
std::optional<std::string> CurrentFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n);
  }
}

}  // namespace

char NativeSeparator() { return '\\'; }

std::optional<std::string> AbsoluteNativePath(std::string_view path) {
  if (path.empty()) return std::string();
  // "D:\..." and "\\server\share\..." are absolute already.
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
    return std::string(path);
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return std::string(path);
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    // "D:films" is relative to the current folder of drive D:, which only the system
    // knows; it resolves the whole path.
    std::vector<char> buffer(MAX_PATH);
    const std::string text(path);
    for (;;) {
      const DWORD n = ::GetFullPathNameA(text.c_str(), static_cast<DWORD>(buffer.size()),
                                         buffer.data(), nullptr);
      if (n == 0) return std::nullopt;
      if (n < buffer.size()) return std::string(buffer.data(), n);
      buffer.resize(n);
    }
  }
  std::optional<std::string> folder = CurrentFolder();
  if (!folder) return std::nullopt;
  if (IsSeparator(path[0])) {
    // "\films" is relative to the root of the current drive: keep the drive ("C:") or
    // the share ("\\server\share") of the current folder.
    const std::string root = DriveLetterVolumeRoot(*folder);
    if (root.empty()) return std::nullopt;
    return root.substr(0, root.size() - 1) + std::string(path);
  }
  if (folder->back() != '\\') folder->push_back('\\');
  folder->append(path);
  return folder;
}

}  // namespace quorvel

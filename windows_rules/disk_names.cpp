#include "windows_rules/disk_names.h"

#include <algorithm>
#include <utility>

#include "windows_rules/path_rules.h"
#include "windows_rules/text_encoding.h"

namespace quorvel {

std::vector<std::string_view> SplitDiskName(std::string_view name) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '\\' || name[i] == '/') {
      if (i > start) parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

DiskNameResolver::DiskNameResolver(Lister list, char separator)
    : list_(std::move(list)), separator_(separator) {}

std::optional<std::string> DiskNameResolver::Match(const std::string& folder,
                                                   std::string_view component) {
  auto it = listings_.find(folder);
  if (it == listings_.end()) {
    std::optional<FolderListing> listing;
    if (std::optional<std::vector<std::string>> names = list_(folder)) {
      listing.emplace(folder, std::move(*names), separator_);
    }
    it = listings_.emplace(folder, std::move(listing)).first;
  }
  if (!it->second) return std::nullopt;
  return it->second->Find(component);
}

std::string DiskNameResolver::Resolve(std::string_view folder, std::string_view name) {
  const std::vector<std::string_view> parts = SplitDiskName(name);
  for (std::string_view part : parts) {
    if (part == "." || part == "..") {
      std::string literal(name);
      std::replace(literal.begin(), literal.end(), '/', '\\');
      // Where the backslash itself separates (Windows), no byte is a plain character
      // in one name and a separator elsewhere: the separators become '?', which no file
      // name may hold, so the result names nothing rather than a file outside `folder`.
      if (separator_ == '\\') std::replace(literal.begin(), literal.end(), '\\', '?');
      return JoinPath(folder, literal, separator_);
    }
  }
  // "" stands for the current folder, as a relative disk path does.
  std::string current = folder.empty() ? std::string(".") : std::string(folder);
  std::string relative;
  bool matching = true;
  for (std::string_view part : parts) {
    std::string piece(part);
    if (matching) {
      std::optional<std::string> found = Match(current, part);
      if (!found && !IsValidUtf8(part)) found = Match(current, Windows1252ToUtf8(part));
      if (found) {
        piece = *found;
        current = JoinPath(current, piece, separator_);
      } else {
        matching = false;
      }
    }
    relative = relative.empty() ? piece : JoinPath(relative, piece, separator_);
  }
  return JoinPath(folder, relative, separator_);
}

}  // namespace quorvel

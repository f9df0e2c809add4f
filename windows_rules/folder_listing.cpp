#include "windows_rules/folder_listing.h"

#include <algorithm>

#include "windows_rules/disk_names.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

FolderListing::FolderListing(std::string folder, std::vector<std::string> names, char separator)
    : folder_(std::move(folder)), names_(std::move(names)), separator_(separator) {}

std::optional<std::string> FolderListing::Find(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  const std::string* best = nullptr;
  for (const std::string& entry : names_) {
    if (entry == name) return entry;
    if (EqualsIgnoringAsciiCase(entry, name) &&
        (best == nullptr || LessIgnoringAsciiCase(entry, *best))) {
      best = &entry;
    }
  }
  if (best == nullptr) return std::nullopt;
  return *best;
}

std::vector<ListedEntry> FolderListing::ByExtension(std::string_view extension) const {
  const std::string suffix = "." + std::string(extension);
  // Sorted as views, so that a folder of many thousand entries moves no strings.
  std::vector<std::string_view> matching;
  for (const std::string& name : names_) {
    if (EndsWithIgnoringAsciiCase(name, suffix)) matching.push_back(name);
  }
  std::sort(matching.begin(), matching.end(), LessIgnoringAsciiCase);
  std::vector<ListedEntry> entries;
  entries.reserve(matching.size());
  for (std::string_view name : matching) {
    entries.push_back(ListedEntry{JoinPath(folder_, name, separator_), std::string(name),
                                  std::string(name.substr(0, name.rfind('.')))});
  }
  return entries;
}

}  // namespace quorvel

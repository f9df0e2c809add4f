#include "platform/folder_listing.h"

#include <algorithm>

#include "platform/disk_names.h"
#include "platform/path_rules.h"

namespace quorvel {

FolderListing::FolderListing(std::string folder, std::vector<std::string> names)
    : folder_(std::move(folder)), names_(std::move(names)) {}

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

std::vector<Files::Entry> FolderListing::ByExtension(std::string_view extension) const {
  const std::string suffix = "." + std::string(extension);
  std::vector<Files::Entry> entries;
  for (const std::string& name : names_) {
    if (!EndsWithIgnoringAsciiCase(name, suffix)) continue;
    const std::string_view view(name);
    entries.push_back(Files::Entry{JoinNativePath(folder_, view), name,
                                   std::string(view.substr(0, view.rfind('.')))});
  }
  std::sort(entries.begin(), entries.end(), [](const Files::Entry& a, const Files::Entry& b) {
    return LessIgnoringAsciiCase(a.name, b.name);
  });
  return entries;
}

}  // namespace quorvel

#pragma once
// Names that come from files on a disk ("configuration.ini", "mdvd.mvd") were written
// on Windows: backslashes separate components, letter case does not matter, and their
// bytes are Windows-1252. These rules find the real entries such names stand for.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows_rules/ascii.h"  // the case rules names are compared by
#include "windows_rules/folder_listing.h"

namespace quorvel {

// The components of a disk-file path: split at '\\' and '/', empty ones dropped.
std::vector<std::string_view> SplitDiskName(std::string_view name);

// Resolves disk-file names against the entries of real folders. It asks `list` for a
// folder's names once and keeps the answer for its own lifetime, so one resolver serves
// the names of one disk file, read at one moment.
class DiskNameResolver {
 public:
  // The names of every entry of `folder`, as Files::ListNames gives them ("" is the
  // current folder); nullopt when it cannot be listed.
  using Lister = std::function<std::optional<std::vector<std::string>>(const std::string& folder)>;

  DiskNameResolver(Lister list, char separator);

  // The platform path of `name` below `folder`: backslashes and slashes separate
  // components, and each component is matched against the real entries without regard
  // to ASCII case (the exact name first); a component that is not valid UTF-8 is also
  // tried as Windows-1252 text turned into UTF-8, the form Linux file names take. From
  // the first component that matches nothing on, the rest is kept as written. A name
  // with a "." or ".." component is not resolved at all: the result is
  // JoinPath(folder, name) with its slashes made backslashes, so that where the
  // separator is '/' it can only name an entry of `folder` itself; where it is '\\',
  // its separators are made '?' instead, so that it names nothing.
  std::string Resolve(std::string_view folder, std::string_view name);

 private:
  // The entry of `folder` that `component` names, or nullopt.
  std::optional<std::string> Match(const std::string& folder, std::string_view component);

  Lister list_;
  char separator_;
  std::map<std::string, std::optional<FolderListing>, std::less<>> listings_;
};

}  // namespace quorvel

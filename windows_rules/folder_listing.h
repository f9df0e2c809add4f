#pragma once
// One read of a folder's names, asked several questions. Finding entries without
// regard to letter case means looking at every name, so a reader that asks many
// questions of one folder lists it once and asks this instead.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// One entry of a folder as a listing by extension gives it.
struct ListedEntry {
  std::string path;   // JoinPath(folder, name, separator)
  std::string name;   // the entry's name as the folder holds it
  std::string title;  // `name` without its last dot and what follows
};

class FolderListing {
 public:
  // `names` as Files::ListNames gives them for `folder`, in any order.
  FolderListing(std::string folder, std::vector<std::string> names, char separator);

  // The name of the entry that equals `name` without regard to ASCII case: `name`
  // itself when it is there, else the first such name in listing order
  // (LessIgnoringAsciiCase).
  std::optional<std::string> Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return Find(name).has_value(); }

  // What Files::ListByExtension gives for this folder.
  std::vector<ListedEntry> ByExtension(std::string_view extension) const;

 private:
  std::string folder_;
  std::vector<std::string> names_;
  char separator_ = '/';
};

}  // namespace quorvel

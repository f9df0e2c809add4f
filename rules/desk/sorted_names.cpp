#include "rules/desk/sorted_names.h"

#include "windows_rules/ascii.h"

namespace quorvel::desk {

bool NameLess(std::string_view a, std::string_view b) { return LessIgnoringAsciiCase(a, b); }

std::size_t SortedPosition(std::size_t count,
                           const std::function<std::string_view(std::size_t)>& nameAt,
                           std::string_view name) {
  // Binary search for the first entry that sorts after `name`.
  std::size_t low = 0;
  std::size_t high = count;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (NameLess(name, nameAt(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

}  // namespace quorvel::desk

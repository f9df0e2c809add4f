#pragma once
// The order of the sorted lists of player names (the Players page's list, the Disks
// page's drop-down lists), the same in every face: byte by byte with ASCII letters
// compared without regard to case, as the sorted lists of Windows have it for these
// names, then by the bytes themselves, so that the order is total.

#include <cstddef>
#include <functional>
#include <string_view>

namespace quorvel::desk {

bool NameLess(std::string_view a, std::string_view b);

// Where `name` goes among `count` sorted entries whose names `nameAt` gives: after every
// entry that does not sort after it, so that equal names keep the order they came in.
std::size_t SortedPosition(std::size_t count,
                           const std::function<std::string_view(std::size_t)>& nameAt,
                           std::string_view name);

}  // namespace quorvel::desk

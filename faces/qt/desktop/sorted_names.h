#pragma once
// The order of the sorted lists of player names (the Players page's list, the Disks
// page's drop-down lists): without regard to letter case, as the sorted lists of
// Windows have it, then by code points, so that the order is total.

#include <QString>
#include <functional>

namespace quorvel {

bool NameLess(const QString& a, const QString& b);

// Where `text` goes among `count` sorted entries whose texts `textAt` gives: after every
// entry that does not sort after it.
int SortedPosition(int count, const std::function<QString(int)>& textAt, const QString& text);

}  // namespace quorvel

#pragma once
// The ffdshow decoder's own switches for DivX 3.x, DivX 4.x, DivX 5.x and XviD, read
// and written as steps of the settings load and save. They live under
// HKEY_LOCAL_MACHINE, so they are only touched where that key exists and opens for
// writing (never on Linux, where FfdshowFound stays 0).

#include "app/settings.h"
#include "platform/registry.h"

namespace quorvel {

inline constexpr std::string_view kFfdshowKeyPath = "SOFTWARE\\GNU\\ffdshow";

// Opens ffdshow's key (existing only). When it opens, sets FfdshowFound to 1 and reads
// "div3", "divx", "dx50", "xvid" into the four fields (a missing value leaves its
// field). False, with nothing changed, when the key does not open.
bool LoadFfdshowSwitches(Registry& registry, Settings& settings);

// Writes the four values, only when FfdshowFound is set; false when it is not, when the
// key does not open, or at the first failed write.
bool SaveFfdshowSwitches(Registry& registry, const Settings& settings);

}  // namespace quorvel

#pragma once
// A page's fixed table of tooltips: {control id, id of its text in the string table}
// pairs. An entry whose text id has no text means the control shows no tooltip.

#include <optional>
#include <span>
#include <string_view>

namespace quorvel::desk {

struct TooltipEntry {
  int controlId;
  int textId;  // 0: no tooltip
};

using TooltipTable = std::span<const TooltipEntry>;

// The text of the first entry for `controlId`, or nothing when that entry has no text or
// there is no entry.
std::optional<std::string_view> LookUpTooltip(TooltipTable table, int controlId);

}  // namespace quorvel::desk

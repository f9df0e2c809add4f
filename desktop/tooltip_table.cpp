#include "desktop/tooltip_table.h"

namespace quorvel {

std::optional<std::string_view> LookUpTooltip(TooltipTable table, int controlId) {
  for (const TooltipEntry& entry : table) {
    if (entry.controlId != controlId) continue;
    if (entry.text == nullptr) return std::nullopt;
    return std::string_view(entry.text);
  }
  return std::nullopt;
}

}  // namespace quorvel

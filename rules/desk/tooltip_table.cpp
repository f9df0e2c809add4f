#include "rules/desk/tooltip_table.h"

#include "resources/string_table.h"

namespace quorvel::desk {

std::optional<std::string_view> LookUpTooltip(TooltipTable table, int controlId) {
  for (const TooltipEntry& entry : table) {
    if (entry.controlId != controlId) continue;
    const std::string_view text = res::LoadString(entry.textId);
    if (text.empty()) return std::nullopt;
    return text;
  }
  return std::nullopt;
}

}  // namespace quorvel::desk

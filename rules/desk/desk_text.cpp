#include "rules/desk/desk_text.h"

#include "resources/string_table.h"

namespace quorvel::desk {

std::string Text(int id) { return std::string(res::LoadString(id)); }

std::string FormatText(int id, std::initializer_list<std::string_view> values) {
  return res::FormatString(id, values);
}

}  // namespace quorvel::desk

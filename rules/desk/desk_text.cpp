#include "rules/desk/desk_text.h"

#include "resources/string_table.h"

namespace quorvel::desk {

std::string Text(int id) { return std::string(res::LoadString(id)); }

std::string FormatText(int id, std::initializer_list<std::string_view> values) {
  const std::string_view format = res::LoadString(id);
  std::string text;
  auto value = values.begin();
  std::size_t at = 0;
  while (at < format.size()) {
    const std::size_t place = format.find('%', at);
    if (place == std::string_view::npos || place + 1 >= format.size()) break;
    const char kind = format[place + 1];
    if ((kind != 's' && kind != 'd') || value == values.end()) {
      text.append(format.substr(at, place + 2 - at));
    } else {
      text.append(format.substr(at, place - at));
      text.append(*value++);
    }
    at = place + 2;
  }
  if (at < format.size()) text.append(format.substr(at));
  return text;
}

}  // namespace quorvel::desk

#pragma once
// The program's string table and tray menu as data. No Qt here.

#include <span>
#include <string_view>

namespace quorvel::res {

// The string with `id`, or an empty text when the table has none.
std::string_view LoadString(int id);

struct MenuItem {
  int command;  // 0 for a separator
  std::string_view text;
  bool isDefault;  // drawn bold; what a double click does
};

struct MenuTemplate {
  int id;
  std::span<const MenuItem> items;  // the items of the menu's one popup, in order
};

// The menu with `id`, or null.
const MenuTemplate* FindMenuTemplate(int id);

}  // namespace quorvel::res

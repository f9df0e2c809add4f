#pragma once
// The program's string table and tray menu as data. No Qt here.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::res {

// The string with `id`, or an empty text when the table has none.
std::string_view LoadString(int id);

// The string `id` with its places ("%s", "%d") filled by `values`, left to right. A value
// is put in as it is and never searched for places itself; places beyond the values stay
// as they are.
std::string FormatString(int id, std::initializer_list<std::string_view> values);

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

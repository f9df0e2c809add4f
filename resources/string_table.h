#pragma once
// The program's string table and tray menu as data. No Qt here.

#include <initializer_list>
#include <optional>
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

// What the tray menu's items do; the full-screen window carries them out.
enum class TrayCommand { Open, Configure, Exit };

struct MenuItem {
  int command;  // the item's command id; 0 for a separator
  std::string_view text;
  bool isDefault;                     // drawn bold; what a double click does
  std::optional<TrayCommand> action;  // what the item does; none for a separator
};

struct MenuTemplate {
  int id;
  std::span<const MenuItem> items;  // the items of the menu's one popup, in order
};

// The menu with `id`, or null.
const MenuTemplate* FindMenuTemplate(int id);

// The item of `menu` with command id `command`, or null (separators have none).
const MenuItem* FindMenuItem(const MenuTemplate& menu, int command);

}  // namespace quorvel::res

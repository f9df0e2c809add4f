#include "resources/string_table.h"

#include <algorithm>

#include "resources/resource_ids.h"

namespace quorvel::res {

namespace {

struct StringEntry {
  int id;
  std::string_view text;
};

constexpr StringEntry kStrings[] = {
    {kStrAboutItem, "&About Quorvel..."},
    {kStrPlay, "Play"},
    {kStrOptions, "Options"},
    {kStrOff, "Off"},
    {kStrPlayLang1, "Play Lang. 1"},
    {kStrPlayLang2, "Play Lang. 2"},
    {kStrPlayAll, "Play all movie files"},
};

constexpr MenuItem kTrayMenuItems[] = {
    {menu::kOpen, "&Open Quorvel", true},
    {menu::kConfigure, "&Configure", false},
    {0, "", false},
    {menu::kExit, "&Exit", false},
};

constexpr MenuTemplate kMenus[] = {
    {kTrayMenu, kTrayMenuItems},
};

}  // namespace

std::string_view LoadString(int id) {
  auto it = std::ranges::find(kStrings, id, &StringEntry::id);
  return it == std::end(kStrings) ? std::string_view{} : it->text;
}

const MenuTemplate* FindMenuTemplate(int id) {
  auto it = std::ranges::find(kMenus, id, &MenuTemplate::id);
  return it == std::end(kMenus) ? nullptr : &*it;
}

}  // namespace quorvel::res

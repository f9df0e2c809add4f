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
    {kStrProgramName, "Quorvel"},
    {kStrOptionsCaption, "Quorvel Options"},
    {kStrNotANumber, "Please enter a whole number from 0 to 4294967295."},
    {kStrStartModes + 0, "configuration dialog"},
    {kStrStartModes + 1, "full screen window"},
    {kStrStartModes + 2, "icon in taskbar's status area"},
    {kStrStartModes + 3, "system shell"},
    {kStrShutdownTooltip, "shutdown Windows when Off button is pressed in full screen mode"},
    {kStrLoginSessionNote,
     "To start Quorvel as the whole session, log out and choose the session \"Quorvel\" "
     "on the login screen. Nothing on this computer is changed for it."},
    {kStrFullScreenTitle, "Quorvel Full Screen"},
    {kStrNoDisk, "No Disk"},
    {kStrNoMovies, "No Movies"},
    {kStrNoPlayerNotice,
     "No player program is installed.\n\nInstall mpv or VLC, then press Play again.\n\n"
     "OK or Back closes this message."},
    {kStrSelectDiskPath, "Select disk path"},
    {kStrFieldColumn, "Field"},
    {kStrValueColumn, "Value"},
    {kStrNewPlayerName, "New Player %d"},
    {kStrAddPlayerCaption, "Add Player"},
    {kStrConfigurePlayerCaption, "Configure Player"},
    {kStrFoundPlayer, "Found %s at %s\nDo you want to add it?"},
    {kStrAddTooltip, "Add new player"},
    {kStrRemoveTooltip, "Delete selected player"},
    {kStrFindInstalledTooltip,
     "Search for installed players (BSPlayer, Zoom Player, Micro DVD, WinDVD)"},
    {kStrProgramsFilter, "Programs (*.exe)"},
    // All files, those without a dot in their names too (as "*.*" means on Windows).
    {kStrAllFilesFilter, "All Files (*)"},
    {kStrPlaylistTypes + 0, "None"},
    {kStrPlaylistTypes + 1, "BSPlayer"},
    {kStrPlaylistTypes + 2, "ASX"},
    {kStrPlaylistTypes + 3, "M3U"},
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

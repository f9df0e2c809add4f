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
    // "%s" the lowest, then the highest number the edit takes.
    {kStrNotANumber, "Please enter a whole number from %s to %s."},
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
    {kStrPictureTooLarge, "This picture is too large to show: %d x %d pixels."},
    {kStrUntitledDvd, "DVD-Video"},
    {kStrUntitledBluray, "Blu-ray Disc"},
    {kStrDriveTypeField, "Drive Type"},
    {kStrMovieTypeField, "Movie Type"},
    {kStrDiskLabelField, "Disk Label"},
    {kStrMovieField, "Movie (%s)"},
    {kStrPictureField, "Picture File"},
    {kStrMovieTypes + 0, "Unknown"},
    {kStrMovieTypes + 1, "DivX"},
    {kStrMovieTypes + 2, "MPEG"},
    {kStrMovieTypes + 3, "Micro DVD"},
    {kStrMovieTypes + 4, "VideoCD"},
    {kStrMovieTypes + 5, "S-VCD"},
    {kStrMovieTypes + 6, "DVD"},
    {kStrMovieTypes + 7, "Blu-ray"},
    {kStrMovieTypes + 8, "Video"},
    {kStrUnknownMovieType, "Unknown value: %d"},
    {kStrBadPlayerName, "A player name must be 1 to %d bytes without \\ or control characters."},
    {kStrDuplicatePlayer,
     "There is a player \"%s\" already (player names are stored without regard to letter case)."},
    {kStrQuoteInPlayerPath,
     "The player's path \"%s\" holds a double quote; a player with such a path could never be "
     "started."},
    {kStrPlayerTextTooLong, "\"%s\" is longer than %d bytes."},
    {kStrNoPlaylistEntry, "No movie file of the disk can be written into the playlist file %s."},
    {kStrPlaylistNotWritten, "The playlist file %s cannot be written."},
    {kStrDamagedSettings,
     "Damaged settings: these stored values are longer than %d bytes and cannot be read, so "
     "each setting keeps its previous value until it is set again:"},
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
    {kStrCannotStart, "Cannot start %s."},
    {kStrCannotStartBecause, "Cannot start %s: %s."},
    {kStrBmpOk, "OK"},
    {kStrBmpCantOpen, "Can't open file for reading :\n%s"},
    {kStrBmpNotBmp, "Not a valid BMP File"},
    {kStrBmpHeaderReadError, "Read Error!"},
    {kStrBmpCompressed, "This is a compressed file."},
    {kStrBmpCorruptPalette, "Corrupt palette"},
    {kStrPictureAllocFailed, "Memory alloc Failed"},
    {kStrBmpPixelReadError, "Read Error"},
    {kStrBmpBadBitCount, "Unsupported number of bits per pixel (only 1, 4, 8 and 24 are read)"},
    {kStrBmpBadSize, "Unsupported picture size (top-down or empty)"},
    {kStrJpegCantOpen, "JPEG :\nCan't open %s\n"},
    {kStrJpegOutOfMemory, "JpegFile :\nOut of memory"},
    {kStrJpegWarningCaption, "JPEG Error"},
    {kStrJpegFailed, "JPEG load failed"},
    {kStrStoreNotRegular,
     "The settings store %s is %s, not a regular file. Quorvel starts with default settings "
     "and will not change it."},
    {kStrStoreUnreadable,
     "The settings store %s cannot be read (%s). Quorvel starts with default settings and "
     "will not change that file."},
    {kStrStoreDamagedKept,
     "The settings store %s is damaged%s. It was kept as %s and Quorvel starts with default "
     "settings."},
    {kStrStoreDamagedStuck,
     "The settings store %s is damaged%s and could not be set aside. Quorvel starts with "
     "default settings and will not change that file."},
    {kStrStoreKeptChanging,
     "The settings store %s changed all the time while Quorvel read it. Quorvel starts with "
     "default settings and will not change that file."},
    {kStrStoreNotWritten,
     "Quorvel could not write its settings store %s (%s). The changes are kept until Quorvel "
     "ends."},
    {kStrStoreRewritten,
     "The settings store %s was damaged%s. It was kept as %s and Quorvel writes the settings "
     "it holds anew."},
    {kStrStoreWhyNotRegular, "it is %s, not a regular file"},
    {kStrStoreWhyUnreadable, "it cannot be read: %s"},
    {kStrStoreWhyChanging, "it changed while Quorvel read it"},
    {kStrStoreWhyDamaged, "it is damaged%s and could not be set aside"},
    {kStrStoreWhyLockUnopened, "its lock file %s cannot be opened: %s"},
    {kStrStoreWhyLockHeld, "another program has held its lock file %s for more than %d seconds"},
    {kStrStoreWhyEndlessLinks, "it is a chain of symbolic links that never ends"},
    {kStrStoreDamageAtLine, " (line %d: %s)"},
    {kStrStoreDamage, " (%s)"},
    {kStrStoreIsFolder, "a folder"},
    {kStrStoreIsFifo, "a FIFO"},
    {kStrStoreIsDevice, "a device"},
    {kStrStoreIsSocket, "a socket"},
    {kStrStoreIsOther, "not a regular file"},
};

constexpr MenuItem kTrayMenuItems[] = {
    {menu::kOpen, "&Open Quorvel", true, TrayCommand::Open},
    {menu::kConfigure, "&Configure", false, TrayCommand::Configure},
    {0, "", false, std::nullopt},
    {menu::kExit, "&Exit", false, TrayCommand::Exit},
};

constexpr MenuTemplate kMenus[] = {
    {kTrayMenu, kTrayMenuItems},
};

}  // namespace

std::string_view LoadString(int id) {
  auto it = std::ranges::find(kStrings, id, &StringEntry::id);
  return it == std::end(kStrings) ? std::string_view{} : it->text;
}

std::string FormatString(int id, std::initializer_list<std::string_view> values) {
  const std::string_view format = LoadString(id);
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

const MenuTemplate* FindMenuTemplate(int id) {
  auto it = std::ranges::find(kMenus, id, &MenuTemplate::id);
  return it == std::end(kMenus) ? nullptr : &*it;
}

const MenuItem* FindMenuItem(const MenuTemplate& menu, int command) {
  if (command == 0) return nullptr;
  auto it = std::ranges::find(menu.items, command, &MenuItem::command);
  return it == menu.items.end() ? nullptr : &*it;
}

}  // namespace quorvel::res

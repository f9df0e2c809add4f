#pragma once
// How quorvelctl shows the settings record: as JSON, and as lines of text. Texts are
// shown as UTF-8; bytes that are not valid UTF-8 are read as Windows-1252.

#include <nlohmann/json.hpp>
#include <string>

#include "app/settings.h"

namespace quorvelctl {

// {"Name", "AppPath", "CmdLine", "Playlist"} for each player, in list order.
nlohmann::ordered_json PlayersJson(const quorvel::PlayerList& players);

// The 21 stored values by their stored names, then "Players", "Themes" and
// "FfdshowFound".
nlohmann::ordered_json SettingsJson(const quorvel::Settings& settings);

// `text` with its control characters (bytes below 0x20, and 0x7f) written as C escapes
// ("\n", "\t", "\r", else "\x1b"), so that a value that holds a line break or a tab stays
// on its row of text output; every other byte stays as it is. The JSON output is exact.
std::string OneLine(std::string_view text);

// One line per player.
std::string PlayersText(const quorvel::PlayerList& players);
// One line per stored value, then the players, the theme and FfdshowFound.
std::string SettingsText(const quorvel::Settings& settings);

}  // namespace quorvelctl

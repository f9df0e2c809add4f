#pragma once
// The detection of installed players: the four players that the registry names, then
// the players that Linux users run, found as programs on the search path.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "app/player_record.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace quorvel {

// A player whose installation the registry of the current user records.
struct KnownPlayer {
  std::string_view name;
  std::string_view key;    // below HKEY_CURRENT_USER
  std::string_view value;  // a text value of that key
  // Joined to the value to make the program's path; empty: the value is the path.
  std::string_view executable;
  PlaylistType playlist;
};

// In the order of probing.
extern const std::array<KnownPlayer, 4> KnownPlayerTable;

// A player found as a program on the search path, with a command line that plays full
// screen and ends when the movie (or the list) ends, the same with the movie's second
// audio stream (empty: the player has no such option), and the playlist it reads as it
// is.
struct PathPlayer {
  std::string_view name;
  std::string_view program;
  std::string_view cmdLine;
  std::string_view secondAudioCmdLine;
  PlaylistType playlist;
};

// In the order of probing, after KnownPlayerTable.
extern const std::array<PathPlayer, 6> PathPlayerTable;

// The players a new user's movies are played with, the first found first; after them,
// the others in the order of detection.
extern const std::array<std::string_view, 2> PreferredPlayers;

// The command line that plays `player`'s movie with its second audio stream: the
// detection table's, "" for a player the table does not know or that has none.
std::string_view SecondAudioCommandLine(const PlayerRecord& player);

// Where the registry says `player` is installed, or "" when its key or value cannot be
// read (missing, or longer than the 1024-byte text buffer).
std::string InstalledPlayerPath(Registry& registry, const KnownPlayer& player);

// Probes KnownPlayerTable in order, then PathPlayerTable through
// `processes.FindProgram`, and hands every player found to `found`, one at a time,
// each probed only after `found` returned for the one before; `found` returns false to
// end the search. A player that could not be added to `listed` (NewPlayerProblem: one
// of that name is listed already, so that the two would share one stored key; a path
// that a command line cannot hold) is passed over. `found` may add players to
// `listed`; later probes see them.
void FindInstalledPlayers(Registry& registry, Processes& processes, const PlayerList& listed,
                          const std::function<bool(const PlayerRecord&)>& found);

}  // namespace quorvel

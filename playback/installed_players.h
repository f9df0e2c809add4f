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
// audio stream, for a DVD-Video disk and for a Blu-ray disk (in these three "%f" stands
// for the disk; empty: the player cannot play it so), and the playlist it reads as it
// is. Today's movie files play with its first command line, as the other files do.
struct PathPlayer {
  std::string_view name;
  std::string_view program;
  std::string_view cmdLine;
  std::string_view secondAudioCmdLine;
  std::string_view dvdCmdLine;
  std::string_view blurayCmdLine;
  PlaylistType playlist;
};

// In the order of probing, after KnownPlayerTable.
extern const std::array<PathPlayer, 6> PathPlayerTable;

// The players a new user's movies are played with, the first found first; after them,
// the others in the order of detection.
extern const std::array<std::string_view, 2> PreferredPlayers;

// What a player's command line is for: movie files (each type of file the disks hold),
// a movie's second audio stream, a DVD-Video disk, a Blu-ray disk.
enum class PlayedAs { Files, SecondAudio, Dvd, Bluray };

// The command line with which `player` plays what `as` names: for files its own; for
// the others the detection table's line of the player of that name, "" for a player
// the table does not know or that cannot play it.
std::string_view DetectedCommandLine(const PlayerRecord& player, PlayedAs as);

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

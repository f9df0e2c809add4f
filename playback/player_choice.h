#pragma once
// Which player plays a movie, its argument text, and the three play commands.

#include <memory>
#include <string>
#include <string_view>

#include "app/player_record.h"
#include "app/settings.h"
#include "disk/disk_info.h"
#include "disk/movie.h"
#include "platform/services.h"

namespace quorvel {

// The fixed player names.
inline constexpr std::string_view kMicroDvdPlayerName = "Micro DVD Player";
inline constexpr std::string_view kFirstFallbackPlayer = "BSPlayer";
inline constexpr std::string_view kSecondFallbackPlayer = "Zoom Player";

// The player of `movie` by its type, with the command-line template that the settings
// give for that type (Micro DVD movies keep the player's own). False, `out` untouched,
// for a type without a player or when no configured player has the name.
bool ChoosePlayer(const Settings& settings, const Movie& movie, PlayerRecord& out);

// The player's template (`player.CmdLine`) with every "%f" replaced by `file`: as it
// is when the template has a double quote right before some "%f", else in double
// quotes. A template without "%f" comes back unchanged.
//
// Whatever the template and the file name, the file reaches the player as exactly one
// argument equal to `file` in each place of a "%f": the text put in is escaped for
// the Windows command-line rules (windows_rules/windows_command_line.h), and where the template's
// own quoting would still split or join the file (an unquoted "%f" in a template that
// quotes another one, a "%f" touching quotes, backslashes or another "%f"), the whole
// argument text is written again argument by argument. For ordinary templates and
// file names without double quotes or trailing backslashes the text is exactly the
// template's.
std::string BuildArguments(const PlayerRecord& player, std::string_view file);

// The play commands below choose by `settings`, start the player through
// `services.processes`, report a player that cannot be started through
// `services.messages` ("Cannot start PATH: reason.") and then return false. With
// `started`, a player that was started is put there to be watched until it ends (null
// where the system cannot watch it).
using StartedPlayer = std::shared_ptr<StartedProgram>;

// Starts the chosen player of `movie` with its file; true when a player was started.
bool PlayMovie(const Services& services, const Settings& settings, const Movie& movie,
               StartedPlayer* started = nullptr);

// Starts the "DivX (Audio2)" player with its template for `movie`, whatever its type.
bool PlayMovieSecondAudio(const Services& services, const Settings& settings, const Movie& movie,
                          StartedPlayer* started = nullptr);

// Writes the playlist of the whole disk (PlaylistBase of the private files) for the
// player of its first movie (else the first fallback, else the second, with their own
// command lines) and starts that player with it. False when there are no movies, no
// player, or no playlist. A DVD-Video or Blu-ray disk, whose one movie is the disk
// itself, is played as PlayMovie plays that movie.
bool PlayAllMovies(const Services& services, const Settings& settings, const DiskInfo& disk,
                   StartedPlayer* started = nullptr);

}  // namespace quorvel

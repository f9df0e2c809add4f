#pragma once
// One configured player program, and the ordered list of them.

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace quorvel {

// The kind of playlist file a player accepts; stored as a signed 32-bit number.
enum class PlaylistType : std::int32_t {
  NoPlaylist = -1,
  BslPlaylist = 0,
  AsxPlaylist = 1,
  M3uPlaylist = 2,  // UTF-8 "m3u8" list, for players that read neither of the others
};

struct PlayerRecord {
  std::string Name;
  std::string AppPath;
  std::string CmdLine;  // "%f" stands for the file to play
  PlaylistType Playlist = PlaylistType::NoPlaylist;

  PlayerRecord() = default;
  PlayerRecord(std::string name, std::string appPath, std::string cmdLine, PlaylistType playlist)
      : Name(std::move(name)),
        AppPath(std::move(appPath)),
        CmdLine(std::move(cmdLine)),
        Playlist(playlist) {}
  bool operator==(const PlayerRecord&) const = default;
};

// Ordered, names not unique. A std::list keeps positions stable while entries are
// removed elsewhere in the list.
using PlayerList = std::list<PlayerRecord>;

// First record whose Name equals `name` byte for byte; copied into `out`. `out` is
// left unchanged when there is none.
bool FindPlayer(const PlayerList& players, std::string_view name, PlayerRecord& out);

// Why `player` cannot be added to `players`, or "" when it can. Its name must be a
// valid key name of the store (players are stored as keys named after them) and differ
// from every listed player's name in more than ASCII letter case (the two would share
// one key); its path and command line must fit the buffer they are read back with; and
// its path must hold no double quote: the command line that starts a player puts the
// path between double quotes, so such a player could never be started. The text is a
// sentence for the user.
std::string NewPlayerProblem(const PlayerRecord& player, const PlayerList& players);

// Appends every player stored below sub-key "Players" of `mainKey` (created when
// missing). False only when "Players" can be neither opened nor created. A value too
// long to be read leaves its field at the default and, with `damaged`, is named there
// (`"CmdLine" of player "mpv"`).
bool LoadPlayers(Registry& registry, RegKey mainKey, PlayerList& players,
                 std::vector<std::string>* damaged = nullptr);

// Deletes the "Players" tree of `mainKey` and writes the list again.
bool SavePlayers(Registry& registry, RegKey mainKey, const PlayerList& players);

// Writes one player below "Players" of `mainKey` (created when missing), leaving every
// other player as it is stored. False when its key or a value could not be written.
bool SavePlayer(Registry& registry, RegKey mainKey, const PlayerRecord& player);

// Deletes `name` below `parent` with everything below it.
bool DeleteKeyTree(Registry& registry, RegKey parent, std::string_view name);

}  // namespace quorvel

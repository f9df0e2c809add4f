#pragma once
// A new user's first start: a settings store that holds no player at all. The program
// finds the players installed on the machine and sets them up as the user would on the
// Players and Disks pages, so that the first Play plays.

#include "app/settings.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace quorvel {

// When `settings` holds no player: runs the detection of installed players without
// asking (FindInstalledPlayers: the players the registry names, then those on the search
// path) and adds every player found to `settings`. Then each per-type player setting
// (DivX, MPEG, VideoCD, Super-VideoCD, DVD, Blu-ray, Video) that is empty names the best
// player found that can play that type (the first of PreferredPlayers found, else the
// first found) and, where it is empty too, its command line takes that player's line for
// the type (DetectedCommandLine: the disk lines for DVD and Blu-ray, the player's own
// for the files); the "DivX (Audio2)" setting names the best player that has a command
// line for the second audio stream, with that command line.
//
// Writes to `registry` exactly the players added and the values set, nothing else, so
// values that another program stored meanwhile stay. Does nothing when `settings` holds
// a player already. True when a player was added.
bool SetUpPlayersOfNewUser(Settings& settings, Registry& registry, Processes& processes);

}  // namespace quorvel

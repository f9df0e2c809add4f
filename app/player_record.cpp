#include "app/player_record.h"

namespace quorvel {

bool FindPlayer(const PlayerList& players, std::string_view name, PlayerRecord& out) {
  for (const auto& player : players) {
    if (player.Name == name) {
      out = player;
      return true;
    }
  }
  return false;
}

}  // namespace quorvel

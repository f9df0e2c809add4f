#include "app/player_record.h"

#include <vector>

#include "app/registry_values.h"
#include "registry_store/key_tree.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/ascii.h"

namespace quorvel {

namespace {
constexpr std::string_view kPlayersKey = "Players";
constexpr std::string_view kAppPathValue = "AppPath";
constexpr std::string_view kCmdLineValue = "CmdLine";
constexpr std::string_view kPlaylistValue = "Playlist";
}  // namespace

bool FindPlayer(const PlayerList& players, std::string_view name, PlayerRecord& out) {
  for (const auto& player : players) {
    if (player.Name == name) {
      out = player;
      return true;
    }
  }
  return false;
}

std::string NewPlayerProblem(const PlayerRecord& player, const PlayerList& players) {
  if (!IsValidKeyName(player.Name)) {
    return res::FormatString(res::kStrBadPlayerName, {std::to_string(kMaxKeyNameLength)});
  }
  for (const auto& listed : players) {
    if (EqualsIgnoringAsciiCase(listed.Name, player.Name)) {
      return res::FormatString(res::kStrDuplicatePlayer, {listed.Name});
    }
  }
  if (player.AppPath.find('"') != std::string::npos) {
    return res::FormatString(res::kStrQuoteInPlayerPath, {player.AppPath});
  }
  for (const auto* text : {&player.AppPath, &player.CmdLine}) {
    if (text->size() + 1 > kTextBufferSize) {
      return res::FormatString(res::kStrPlayerTextTooLong,
                               {*text, std::to_string(kTextBufferSize - 1)});
    }
  }
  return "";
}

bool LoadPlayers(Registry& registry, RegKey mainKey, PlayerList& players,
                 std::vector<std::string>* damaged) {
  ScopedKey list(registry, registry.CreateKey(mainKey, kPlayersKey));
  if (!list) return false;
  std::optional<std::string> found;
  for (std::uint32_t index = 0; (found = registry.EnumKey(list.get(), index)); ++index) {
    const std::string& name = *found;
    ScopedKey key(registry, registry.OpenKey(list.get(), name));
    if (!key) continue;
    PlayerRecord player;
    player.Name = name;
    for (const auto& [value, field] :
         {std::pair{kAppPathValue, &player.AppPath}, std::pair{kCmdLineValue, &player.CmdLine}}) {
      if (ReadTextValue(registry, key.get(), value, *field) == TextRead::TooLong && damaged) {
        damaged->push_back("\"" + std::string(value) + "\" of player \"" + name + "\"");
      }
    }
    auto playlist = static_cast<std::int32_t>(player.Playlist);
    ReadNumber(registry, key.get(), kPlaylistValue, playlist);
    player.Playlist = static_cast<PlaylistType>(playlist);
    players.push_back(std::move(player));
  }
  return true;
}

namespace {

// Each value only after the one before it was written.
bool WritePlayer(Registry& registry, RegKey list, const PlayerRecord& player) {
  ScopedKey key(registry, registry.CreateKey(list, player.Name));
  return key && WriteText(registry, key.get(), kAppPathValue, player.AppPath) &&
         WriteText(registry, key.get(), kCmdLineValue, player.CmdLine) &&
         WriteNumber(registry, key.get(), kPlaylistValue,
                     static_cast<std::int32_t>(player.Playlist));
}

}  // namespace

bool SavePlayers(Registry& registry, RegKey mainKey, const PlayerList& players) {
  if (!DeleteKeyTree(registry, mainKey, kPlayersKey)) return false;
  ScopedKey list(registry, registry.CreateKey(mainKey, kPlayersKey));
  if (!list) return false;
  // A failure skips the rest of that player only.
  for (const auto& player : players) WritePlayer(registry, list.get(), player);
  return true;
}

bool SavePlayer(Registry& registry, RegKey mainKey, const PlayerRecord& player) {
  ScopedKey list(registry, registry.CreateKey(mainKey, kPlayersKey));
  return list && WritePlayer(registry, list.get(), player);
}

bool DeleteKeyTree(Registry& registry, RegKey parent, std::string_view name) {
  ScopedKey key(registry, registry.OpenKey(parent, name));
  if (!key) return false;
  // Names first, deletions after: deleting while enumerating would shift the indices.
  std::vector<std::string> children;
  for (std::uint32_t index = 0;; ++index) {
    std::optional<std::string> child = registry.EnumKey(key.get(), index);
    if (!child) break;
    children.push_back(std::move(*child));
  }
  for (const auto& each : children) DeleteKeyTree(registry, key.get(), each);
  // Reports whether the key is really gone: a sub-key that could not be deleted keeps
  // it in place, and the caller must not take the old tree for removed.
  return registry.DeleteKey(parent, name);
}

}  // namespace quorvel

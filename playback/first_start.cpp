#include "playback/first_start.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/registry_values.h"
#include "playback/installed_players.h"

namespace quorvel {
namespace {

using SettingsText = std::string Settings::*;

// The per-type player settings, each with its command line and what that line plays.
struct TypeSetting {
  SettingsText player;
  SettingsText commandLine;
  PlayedAs as;
};

constexpr std::array<TypeSetting, 8> kTypeSettings = {{
    {&Settings::DivXPlayer, &Settings::DivXCommandLine, PlayedAs::Files},
    {&Settings::DivXAudio2Player, &Settings::DivXAudio2CommandLine, PlayedAs::SecondAudio},
    {&Settings::MpegPlayer, &Settings::MpegCommandLine, PlayedAs::Files},
    {&Settings::VcdPlayer, &Settings::VcdCommandLine, PlayedAs::Files},
    {&Settings::SvcdPlayer, &Settings::SvcdCommandLine, PlayedAs::Files},
    {&Settings::DvdPlayer, &Settings::DvdCommandLine, PlayedAs::Dvd},
    {&Settings::BlurayPlayer, &Settings::BlurayCommandLine, PlayedAs::Bluray},
    {&Settings::VideoPlayer, &Settings::VideoCommandLine, PlayedAs::Files},
}};

// The stored name of a text field.
std::string_view StoredName(SettingsText field) {
  for (const StoredSetting& setting : kStoredSettings) {
    if (setting.text == field) return setting.name;
  }
  return {};
}

// The best of `found` for a setting: the preferred players first, then the others in the
// order found; only players with a command line for what the setting plays. Null when
// none fits.
const PlayerRecord* Best(const std::vector<PlayerRecord>& found, PlayedAs as) {
  const auto fits = [as](const PlayerRecord& player) {
    return !DetectedCommandLine(player, as).empty();
  };
  for (std::string_view name : PreferredPlayers) {
    const auto it = std::find_if(found.begin(), found.end(), [&](const PlayerRecord& player) {
      return player.Name == name && fits(player);
    });
    if (it != found.end()) return &*it;
  }
  const auto it = std::find_if(found.begin(), found.end(), fits);
  return it == found.end() ? nullptr : &*it;
}

}  // namespace

bool SetUpPlayersOfNewUser(Settings& settings, Registry& registry, Processes& processes) {
  if (!settings.Players.empty()) return false;
  std::vector<PlayerRecord> found;
  FindInstalledPlayers(registry, processes, settings.Players, [&](const PlayerRecord& player) {
    found.push_back(player);
    settings.Players.push_back(player);
    return true;
  });
  if (found.empty()) return false;

  std::vector<SettingsText> changed;
  for (const TypeSetting& row : kTypeSettings) {
    if (!(settings.*row.player).empty()) continue;
    const PlayerRecord* best = Best(found, row.as);
    if (best == nullptr) continue;
    settings.*row.player = best->Name;
    changed.push_back(row.player);
    if ((settings.*row.commandLine).empty()) {
      settings.*row.commandLine = std::string(DetectedCommandLine(*best, row.as));
      changed.push_back(row.commandLine);
    }
  }

  // What was added and set, value by value: the store merges them into what other
  // programs saved. A choice fills only a value the store still lacks when it merges,
  // so one that quorvelctl stored since the load is kept.
  ScopedKey main(registry, registry.CreateKey(kCurrentUser, kMainKeyPath));
  if (main) {
    for (const PlayerRecord& player : found) SavePlayer(registry, main.get(), player);
    for (SettingsText field : changed) {
      WriteDefaultText(registry, main.get(), StoredName(field), settings.*field);
    }
  }
  return true;
}

}  // namespace quorvel

#pragma once
// The settings record of one generation of the crash test: every stored field, every
// player and every colour depends on the generation number, so a store that holds
// parts of two generations is told apart from one that holds a single generation.

#include <string>

#include "app/settings.h"

namespace quorvel::testing {

inline constexpr int kGenerationPlayers = 20;

inline Settings Generation(std::uint32_t n) {
  Settings settings;
  const std::string tag = "generation " + std::to_string(n);
  for (const auto& setting : kStoredSettings) {
    if (setting.IsText()) {
      settings.*setting.text = tag + " \"" + std::string(setting.name) + "\" \\ \xe9 " +
                               std::string(600, static_cast<char>('a' + n % 26));
    } else {
      setting.SetNumberBits(settings, n);
    }
  }
  for (int i = 0; i < kGenerationPlayers; ++i) {
    settings.Players.emplace_back("Player " + std::to_string(i), tag + " path", tag + " %f",
                                  static_cast<PlaylistType>(n % 3));
  }
  settings.Theme.LabelFg = n;
  settings.Theme.ChoiceHighBg = n;
  settings.Theme.MoviesFont.height = static_cast<std::int32_t>(n);
  return settings;
}

}  // namespace quorvel::testing

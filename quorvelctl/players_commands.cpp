#include <cstdio>
#include <memory>
#include <string>

#include "app/player_record.h"
#include "quorvelctl/commands.h"
#include "quorvelctl/settings_view.h"
#include "quorvelctl/user_store.h"

namespace quorvelctl {
namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

struct AddOptions {
  std::string name;
  std::string path;
  std::string cmdLine;
  int playlist = static_cast<int>(quorvel::PlaylistType::NoPlaylist);
};

// Writes the player list only, so that other values stay as other processes saved them.
int SavePlayerList(UserStore& store, const quorvel::PlayerList& players) {
  const bool saved = store.Save([&players](quorvel::Registry& registry, quorvel::RegKey key) {
    return quorvel::SavePlayers(registry, key, players);
  });
  return saved ? 0 : kFailure;
}

}  // namespace

void AddPlayersCommands(Command& app, Context& context) {
  auto* players = app.add_subcommand("players", "List, add or remove the configured players");
  auto json = std::make_shared<bool>(false);
  players->add_flag("--json", *json, "Show the players as a JSON array");

  auto* add = players->add_subcommand("add", "Append a player to the list, then save");
  auto options = std::make_shared<AddOptions>();
  add->add_option("--name", options->name, "The player's name")->required();
  add->add_option("--path", options->path, "Full path of its executable file")->required();
  add->add_option("--cmdline", options->cmdLine, "Its command line; %f stands for the file");
  add->add_option("--playlist", options->playlist,
                  "Playlist it accepts: -1 none, 0 BSPlayer list, 1 ASX list, 2 m3u8 list")
      ->check(Range(static_cast<int>(quorvel::RangeOf(quorvel::SettingKind::PlaylistType).low),
                    static_cast<int>(quorvel::RangeOf(quorvel::SettingKind::PlaylistType).high)));

  auto* remove =
      players->add_subcommand("remove", "Remove the first player of this name, then save");
  auto removeName = std::make_shared<std::string>();
  remove->add_option("name", *removeName, "The exact name")->required();

  players->callback([&context, json, add, remove] {
    if (add->parsed() || remove->parsed()) return;
    quorvel::Settings settings;
    LoadUserSettings(context.services(), settings);
    if (*json) {
      std::printf("%s\n", PlayersJson(settings.Players).dump(2).c_str());
    } else {
      std::printf("%s", PlayersText(settings.Players).c_str());
    }
    context.exitCode = 0;
  });
  add->callback([&context, options] {
    UserStore store(context.services());  // one store for the load and the save
    quorvel::Settings settings;
    store.Load(settings);
    quorvel::PlayerRecord player(options->name, options->path, options->cmdLine,
                                 static_cast<quorvel::PlaylistType>(options->playlist));
    if (const std::string problem = quorvel::NewPlayerProblem(player, settings.Players);
        !problem.empty()) {
      std::fprintf(stderr, "quorvelctl: %s\n", problem.c_str());
      context.exitCode = kUsageError;
      return;
    }
    settings.Players.push_back(std::move(player));
    context.exitCode = SavePlayerList(store, settings.Players);
  });
  remove->callback([&context, removeName] {
    UserStore store(context.services());
    quorvel::Settings settings;
    store.Load(settings);
    for (auto it = settings.Players.begin(); it != settings.Players.end(); ++it) {
      if (it->Name == *removeName) {
        settings.Players.erase(it);
        context.exitCode = SavePlayerList(store, settings.Players);
        return;
      }
    }
    std::fprintf(stderr, "quorvelctl: there is no player \"%s\"\n", removeName->c_str());
    context.exitCode = kFailure;
  });
}

}  // namespace quorvelctl

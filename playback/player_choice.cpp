#include "playback/player_choice.h"

#include <array>
#include <optional>

#include "playback/playlist.h"
#include "playback/process_list.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {

namespace {

using SettingsText = std::string Settings::*;

// Which settings pick the player of each movie type. A row without a name field uses
// `fixedName`; a row without a template field keeps the player's own command line.
struct PlayerRow {
  MovieType type;
  SettingsText playerName;
  std::string_view fixedName;
  SettingsText commandLine;
};

constexpr std::array kPlayerRows = {
    PlayerRow{MovieType::DivX, &Settings::DivXPlayer, {}, &Settings::DivXCommandLine},
    PlayerRow{MovieType::Mpeg, &Settings::MpegPlayer, {}, &Settings::MpegCommandLine},
    PlayerRow{MovieType::MicroDvd, nullptr, kMicroDvdPlayerName, nullptr},
    PlayerRow{MovieType::VideoCd, &Settings::VcdPlayer, {}, &Settings::VcdCommandLine},
    PlayerRow{MovieType::SuperVideoCd, &Settings::SvcdPlayer, {}, &Settings::SvcdCommandLine},
    PlayerRow{MovieType::Dvd, &Settings::DvdPlayer, {}, &Settings::DvdCommandLine},
    PlayerRow{MovieType::Bluray, &Settings::BlurayPlayer, {}, &Settings::BlurayCommandLine},
    PlayerRow{MovieType::Video, &Settings::VideoPlayer, {}, &Settings::VideoCommandLine},
};

constexpr std::string_view kPlaceholder = "%f";
constexpr int kPlaceholderSymbol = 0x100;

// The template's text with the file put in as the player algorithm has it, escaped
// for the place it goes to.
std::string SubstituteFile(std::string_view text, std::string_view file) {
  const bool userQuoted = text.find("\"%f") != std::string_view::npos;
  const std::string replacement =
      userQuoted ? EscapeInsideQuotes(file) : '"' + EscapeInsideQuotes(file) + '"';
  std::string out;
  for (std::size_t at = 0;;) {
    std::size_t found = text.find(kPlaceholder, at);
    out.append(text.substr(at, found - at));
    if (found == std::string_view::npos) break;
    out += replacement;
    at = found + kPlaceholder.size();
  }
  return out;
}

// The arguments the template stands for, with each "%f" as one ordinary character
// that becomes `file`.
std::vector<std::string> IntendedArguments(std::string_view text, std::string_view file) {
  CommandSymbols symbols;
  symbols.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, kPlaceholder.size()) == kPlaceholder) {
      symbols.push_back(kPlaceholderSymbol);
      ++i;
    } else {
      symbols.push_back(static_cast<unsigned char>(text[i]));
    }
  }
  std::vector<std::string> args;
  for (const auto& argSymbols : SplitArgumentSymbols(symbols)) {
    std::string arg;
    for (int symbol : argSymbols) {
      if (symbol == kPlaceholderSymbol) {
        arg += file;
      } else {
        arg += static_cast<char>(symbol);
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

// Starts `player` with `file` in place of its "%f". A player that cannot be started is
// reported, naming its program and why.
bool Launch(const Services& services, const PlayerRecord& player, std::string_view file,
            StartedPlayer* started) {
  const StartResult result =
      StartPlayer(services.processes, player.AppPath, BuildArguments(player, file));
  if (result.started) {
    if (started != nullptr) *started = result.program;
    return true;
  }
  services.messages.Show(
      result.error.empty()
          ? res::FormatString(res::kStrCannotStart, {player.AppPath})
          : res::FormatString(res::kStrCannotStartBecause, {player.AppPath, result.error}));
  return false;
}

std::optional<PlayerRow> RowOf(MovieType type) {
  for (const auto& row : kPlayerRows) {
    if (row.type == type) return row;
  }
  return std::nullopt;
}

}  // namespace

bool ChoosePlayer(const Settings& settings, const Movie& movie, PlayerRecord& out) {
  std::optional<PlayerRow> row = RowOf(movie.Type());
  if (!row) return false;
  PlayerRecord player;
  std::string_view name = row->playerName != nullptr ? settings.*(row->playerName) : row->fixedName;
  bool found = FindPlayer(settings.Players, name, player);
  if (row->commandLine != nullptr) player.CmdLine = settings.*(row->commandLine);
  if (!found) return false;
  out = player;
  return true;
}

std::string BuildArguments(const PlayerRecord& player, std::string_view file) {
  std::string_view text = player.CmdLine;
  if (text.find(kPlaceholder) == std::string_view::npos) return std::string(text);
  std::string arguments = SubstituteFile(text, file);
  std::vector<std::string> intended = IntendedArguments(text, file);
  if (SplitArguments(arguments) == intended) return arguments;
  // The template's own quoting would split or join the file: write every argument
  // again so that each comes back as intended.
  std::string rewritten;
  for (const auto& arg : intended) {
    if (!rewritten.empty()) rewritten += ' ';
    rewritten += QuoteArgument(arg);
  }
  return rewritten;
}

bool PlayMovie(const Services& services, const Settings& settings, const Movie& movie,
               StartedPlayer* started) {
  PlayerRecord player;
  if (!ChoosePlayer(settings, movie, player)) return false;
  return Launch(services, player, movie.File(), started);
}

bool PlayMovieSecondAudio(const Services& services, const Settings& settings, const Movie& movie,
                          StartedPlayer* started) {
  PlayerRecord player;
  if (!FindPlayer(settings.Players, settings.DivXAudio2Player, player)) return false;
  player.CmdLine = settings.DivXAudio2CommandLine;
  return Launch(services, player, movie.File(), started);
}

bool PlayAllMovies(const Services& services, const Settings& settings, const DiskInfo& disk,
                   StartedPlayer* started) {
  if (!disk.HasMovies()) return false;
  DiskInfo::Position first = disk.FirstMovie();
  const Movie& firstMovie = disk.NextMovie(first);
  // A DVD-Video or Blu-ray disk is its one movie, which its player opens as a disk: a
  // playlist would hand that player a file in place of the disk.
  if (IsDiskMovie(firstMovie.Type())) return PlayMovie(services, settings, firstMovie, started);
  PlayerRecord player;
  if (!ChoosePlayer(settings, firstMovie, player) &&
      !FindPlayer(settings.Players, kFirstFallbackPlayer, player) &&
      !FindPlayer(settings.Players, kSecondFallbackPlayer, player)) {
    return false;
  }
  std::string playlist = WritePlaylist(disk, PlaylistBase(services.privateFiles), player.Playlist,
                                       services.privateFiles, services.messages);
  if (playlist.empty()) return false;
  return Launch(services, player, playlist, started);
}

}  // namespace quorvel

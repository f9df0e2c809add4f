#include "rules/desk/player_info_rules.h"

#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"
#include "windows_rules/ascii.h"

namespace quorvel::desk {

namespace {

namespace ids = res::player_info;

// The ending of programs on Windows; programs on Linux have none.
constexpr std::string_view kProgramEnding = ".exe";

}  // namespace

PlayerInfoRules::PlayerInfoRules(const PlayerRecord& record, UserMessages& messages,
                                 PlayerInfoView& view, ProblemCheck problem)
    : messages_(messages),
      view_(view),
      problem_(std::move(problem)),
      name_(record.Name),
      appPath_(record.AppPath),
      cmdLine_(record.CmdLine),
      playlistIndex_(PlaylistIndexOf(record.Playlist)) {}

std::int32_t PlayerInfoRules::PlaylistIndexOf(PlaylistType type) {
  const std::int64_t index = static_cast<std::int64_t>(type) + 1;
  return index >= 0 && index < res::kPlaylistTypeCount ? static_cast<std::int32_t>(index) : -1;
}

PlaylistType PlayerInfoRules::PlaylistTypeOf(std::int32_t index) {
  if (index < 0 || index >= res::kPlaylistTypeCount) return PlaylistType::NoPlaylist;
  return static_cast<PlaylistType>(index - 1);
}

void PlayerInfoRules::DoDataExchange(DataExchange& exchange) {
  exchange.Text(ids::kName, name_);
  exchange.Text(ids::kAppPath, appPath_);
  exchange.Text(ids::kCmdLine, cmdLine_);
  exchange.DropDownList(ids::kPlaylist, playlistIndex_);
}

void PlayerInfoRules::ShowValues() {
  DataExchange exchange(view_.Values(), DataExchange::Direction::ShowValues, messages_);
  DoDataExchange(exchange);
}

bool PlayerInfoRules::ReadControls() {
  DataExchange exchange(view_.Values(), DataExchange::Direction::ReadControls, messages_);
  DoDataExchange(exchange);
  return exchange.ok();
}

void PlayerInfoRules::OnInitDialog() {
  std::vector<std::string> types;
  for (int i = 0; i < res::kPlaylistTypeCount; ++i)
    types.push_back(Text(res::kStrPlaylistTypes + i));
  view_.Values().SetListItems(ids::kPlaylist, types);
  ShowValues();
  view_.Values().EnableControl(res::kIdOk, true);
}

void PlayerInfoRules::OnNameOrPathEdited() {
  ReadControls();
  view_.Values().EnableControl(res::kIdOk, !name_.empty() && !appPath_.empty());
}

void PlayerInfoRules::OnBrowse() {
  ReadControls();
  // Programs without the ".exe" ending (every program on Linux) are found among all
  // files: the chooser starts there unless the current program has that ending.
  const ProgramChooser chooser{Text(res::kStrProgramsFilter), Text(res::kStrAllFilesFilter),
                               EndsWithIgnoringAsciiCase(appPath_, kProgramEnding)};
  std::string path = appPath_;
  if (!view_.ChooseProgram(path, chooser)) return;
  appPath_ = std::move(path);
  ShowValues();
  OnNameOrPathEdited();
}

bool PlayerInfoRules::OnOk() {
  if (!ReadControls()) return false;
  if (problem_) {
    const std::string problem = problem_(Edited());
    if (!problem.empty()) {
      messages_.Show(problem);
      return false;
    }
  }
  return true;
}

PlayerRecord PlayerInfoRules::Edited() const {
  return PlayerRecord(name_, appPath_, cmdLine_, PlaylistTypeOf(playlistIndex_));
}

}  // namespace quorvel::desk

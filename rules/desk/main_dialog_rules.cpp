#include "rules/desk/main_dialog_rules.h"

#include <utility>

#include "disk/default_disk.h"
#include "playback/player_choice.h"
#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"

namespace quorvel::desk {

namespace {

namespace ids = res::main_dlg;

// The bits of a command value that the window system keeps for itself.
constexpr int kSystemCommandBits = 0xF;

}  // namespace

MainDialogRules::MainDialogRules(const Settings& settings, const Services& services,
                                 MainDialogView& view, std::string diskPath)
    : settings_(settings), services_(services), view_(view), diskPath_(std::move(diskPath)) {}

std::string MainDialogRules::AboutItemText() { return Text(res::kStrAboutItem); }

void MainDialogRules::DoDataExchange(DataExchange& exchange) {
  exchange.Text(ids::kDiskPath, diskPath_);
  exchange.CheckBox(ids::kReadAutomatically, readAutomatically_);
}

void MainDialogRules::ShowValues() {
  DataExchange exchange(view_.Values(), DataExchange::Direction::ShowValues, services_.messages);
  DoDataExchange(exchange);
}

void MainDialogRules::ReadControls() {
  // Neither control can refuse its value.
  DataExchange exchange(view_.Values(), DataExchange::Direction::ReadControls, services_.messages);
  DoDataExchange(exchange);
}

void MainDialogRules::OnInitDialog() {
  diskPath_ = ResolveDiskPath(diskPath_, services_.volumes);
  ShowValues();
  view_.ShowColumns(Text(res::kStrFieldColumn), Text(res::kStrValueColumn));
  UpdatePlayButtons();
  if (readAutomatically_ != 0) ReadDiskToList();
}

void MainDialogRules::ClearRows() {
  fields_.clear();
  view_.ShowRows({});
  UpdatePlayButtons();
}

void MainDialogRules::ReadDiskToList() {
  ReadControls();
  disk_.ReadDisk(diskPath_, settings_, services_.volumes, services_.files);
  fields_ = DiskFields(disk_, disk_.DriveType(services_.volumes));
  std::vector<FieldRow> rows;
  rows.reserve(fields_.size());
  for (const DiskField& field : fields_) {
    // The movie's file is the row's tip; rows without a movie have none.
    rows.push_back({field.name, field.value, field.movie ? field.movie->File() : std::string()});
  }
  view_.ShowRows(rows);
  UpdatePlayButtons();
}

Movie MainDialogRules::MovieOfRow(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= fields_.size()) return Movie();
  return fields_[static_cast<std::size_t>(row)].movie.value_or(Movie());
}

void MainDialogRules::UpdatePlayButtons() {
  const Movie movie = MovieOfRow(view_.SelectedRow());
  PlayerRecord player;
  view_.Values().EnableControl(ids::kPlay, ChoosePlayer(settings_, movie, player));
  view_.Values().EnableControl(
      ids::kPlayAudio2, movie.AudioStreams() >= 2 &&
                            FindPlayer(settings_.Players, settings_.DivXAudio2Player, player));
}

void MainDialogRules::OnBrowse() {
  ReadControls();
  std::string path = diskPath_;
  if (!view_.ChooseFolder(path, Text(res::kStrSelectDiskPath)) || path == diskPath_) return;
  ClearRows();
  diskPath_ = std::move(path);
  ShowValues();
  if (readAutomatically_ != 0) ReadDiskToList();
}

void MainDialogRules::OnPlay() {
  const Movie movie = MovieOfRow(view_.SelectedRow());
  if (movie.Type() != MovieType::Unknown) PlayMovie(services_, settings_, movie);
}

void MainDialogRules::OnPlayAudio2() {
  const Movie movie = MovieOfRow(view_.SelectedRow());
  if (movie.Type() != MovieType::Unknown) PlayMovieSecondAudio(services_, settings_, movie);
}

void MainDialogRules::OnOptions() {
  if (view_.RunOptionsSheet()) ReadDiskToList();
}

void MainDialogRules::OnSysCommand(int command) {
  if ((command & ~kSystemCommandBits) != kAboutCommand) return;
  view_.ShowAbout();
}

}  // namespace quorvel::desk

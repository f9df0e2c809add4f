#include "rules/desk/players_page_rules.h"

#include <algorithm>
#include <atomic>

#include "playback/installed_players.h"
#include "playback/process_list.h"
#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"
#include "rules/desk/sorted_names.h"

namespace quorvel::desk {

namespace {

namespace ids = res::players;

// The working copy of the player list is the page's one field; its handlers change it.
const FieldBinding kBindings[] = {
    {ids::kPlayerList, &Settings::Players, bind::HandlersOnly},
};

constexpr TooltipEntry kTooltips[] = {
    {ids::kAdd, res::kStrAddTooltip},
    {ids::kRemove, res::kStrRemoveTooltip},
    {ids::kFindInstalled, res::kStrFindInstalledTooltip},
};

// Names of new players count on across openings of the sheet, for the whole process.
std::atomic<int> newPlayerCounter{1};

constexpr std::string_view kNewPlayerCommandLine = "%f";

}  // namespace

PlayersPageRules::PlayersPageRules(Settings& settings, const Services& services, PageView& page,
                                   PlayersPageView& view)
    : PageRules(res::kPlayersPage, settings, services, page, kBindings), view_(view) {}

int PlayersPageRules::NextNewPlayerNumber() { return newPlayerCounter.load(); }

std::vector<std::string> PlayersPageRules::ListedNames() const {
  std::vector<std::string> names;
  names.reserve(rows_.size());
  for (const PlayerList::iterator& record : rows_) names.push_back(record->Name);
  return names;
}

void PlayersPageRules::OnFirstShow() {
  ShowValues();
  // Sorted by name; players of equal names keep their order in the list.
  rows_.clear();
  for (auto record = values_.Players.begin(); record != values_.Players.end(); ++record) {
    rows_.push_back(record);
  }
  std::stable_sort(rows_.begin(), rows_.end(), [](PlayerList::iterator a, PlayerList::iterator b) {
    return NameLess(a->Name, b->Name);
  });
  Controls().SetListItems(ids::kPlayerList, ListedNames());
  Controls().SetListIndex(ids::kPlayerList, -1);
  EnableTooltips(kTooltips);
  UpdateButtons();
}

int PlayersPageRules::SelectedRow() {
  const int row = Controls().ListIndex(ids::kPlayerList);
  return row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? row : -1;
}

void PlayersPageRules::UpdateButtons() {
  const bool selected = SelectedRow() >= 0;
  for (int id : {ids::kConfigure, ids::kRemove, ids::kExecute}) {
    Controls().EnableControl(id, selected);
  }
}

void PlayersPageRules::AddAndSelect(PlayerList::iterator record) {
  const std::size_t row = SortedPosition(
      rows_.size(), [this](std::size_t at) -> std::string_view { return rows_[at]->Name; },
      record->Name);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(row), record);
  const int index = static_cast<int>(row);
  Controls().InsertListItem(ids::kPlayerList, index, record->Name);
  Controls().SetListIndex(ids::kPlayerList, index);
  UpdateButtons();
}

std::string PlayersPageRules::Problem(const PlayerRecord& record,
                                      const PlayerRecord* except) const {
  PlayerList others;
  for (const PlayerRecord& listed : values_.Players) {
    if (&listed != except) others.push_back(listed);
  }
  return NewPlayerProblem(record, others);
}

void PlayersPageRules::OnAdd() {
  // The number is used up even when the dialog is cancelled.
  const int number = newPlayerCounter.fetch_add(1);
  PlayerRecord record(FormatText(res::kStrNewPlayerName, {std::to_string(number)}), "",
                      std::string(kNewPlayerCommandLine), PlaylistType::NoPlaylist);
  if (!view_.RunPlayerInfo(
          record, Text(res::kStrAddPlayerCaption),
          [this](const PlayerRecord& edited) { return Problem(edited, nullptr); })) {
    return;
  }
  values_.Players.push_back(record);
  AddAndSelect(std::prev(values_.Players.end()));
}

void PlayersPageRules::OnRemove() {
  const int row = SelectedRow();
  if (row < 0) return;
  const PlayerList::iterator record = rows_[static_cast<std::size_t>(row)];
  rows_.erase(rows_.begin() + row);
  values_.Players.erase(record);
  Controls().RemoveListItem(ids::kPlayerList, row);
  Controls().SetListIndex(ids::kPlayerList, -1);
  UpdateButtons();
}

void PlayersPageRules::OnConfigure() {
  const int row = SelectedRow();
  if (row < 0) return;
  const PlayerList::iterator record = rows_[static_cast<std::size_t>(row)];
  PlayerRecord copy = *record;
  const PlayerRecord* except = &*record;
  if (!view_.RunPlayerInfo(
          copy, Text(res::kStrConfigurePlayerCaption),
          [this, except](const PlayerRecord& edited) { return Problem(edited, except); })) {
    return;
  }
  // The record keeps its place in the list; its row moves to its name's sorted place.
  *record = copy;
  rows_.erase(rows_.begin() + row);
  Controls().RemoveListItem(ids::kPlayerList, row);
  AddAndSelect(record);
}

void PlayersPageRules::OnExecute() {
  const int row = SelectedRow();
  if (row < 0) return;
  const PlayerRecord& record = *rows_[static_cast<std::size_t>(row)];
  const StartResult result = StartPlayer(services_.processes, record.AppPath, "");
  if (result.started) return;
  // Nothing would happen on the screen otherwise.
  services_.messages.Show(result.error.empty() ? FormatText(res::kStrCannotStart, {record.AppPath})
                                               : FormatText(res::kStrCannotStartBecause,
                                                            {record.AppPath, result.error}));
}

void PlayersPageRules::OnFindInstalledPlayers() {
  FindInstalledPlayers(
      services_.registry, services_.processes, values_.Players, [this](const PlayerRecord& found) {
        switch (
            services_.messages.Show(FormatText(res::kStrFoundPlayer, {found.Name, found.AppPath}),
                                    {}, MessageButtons::YesNoCancel, MessageIcon::Question)) {
          case MessageAnswer::Yes:
            values_.Players.push_back(found);
            AddAndSelect(std::prev(values_.Players.end()));
            return true;
          case MessageAnswer::Cancel:
            return false;
          default:
            return true;
        }
      });
}

}  // namespace quorvel::desk

#include "faces/qt/desktop/players_page.h"

#include <QListWidget>
#include <QPushButton>
#include <atomic>

#include "faces/qt/desktop/player_info_dlg.h"
#include "faces/qt/desktop/sorted_names.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "playback/installed_players.h"
#include "playback/process_list.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

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

// "New Player %d" with `number`.
std::string NewPlayerName(int number) {
  const std::string_view format = res::LoadString(res::kStrNewPlayerName);
  std::string name(format);
  const std::size_t at = name.find("%d");
  if (at != std::string::npos) name.replace(at, 2, std::to_string(number));
  return name;
}

// "Found %s at %s..." with the player's name and path.
std::string FoundPlayerQuestion(const PlayerRecord& player) {
  std::string text(res::LoadString(res::kStrFoundPlayer));
  for (const std::string* value : {&player.Name, &player.AppPath}) {
    const std::size_t at = text.find("%s");
    if (at == std::string::npos) break;
    text.replace(at, 2, *value);
  }
  return text;
}

}  // namespace

CPlayersPage::CPlayersPage(Settings& settings, const Services& services)
    : COptionsPage(res::kPlayersPage, settings, services, kBindings) {
  list_ = FindControlAs<QListWidget>(*this, ids::kPlayerList);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  ConnectHandlers();
}

int CPlayersPage::NextNewPlayerNumber() { return newPlayerCounter.load(); }

// Event table: Add, Remove, Configure, Execute, Find Installed Players, the selection.
void CPlayersPage::ConnectHandlers() {
  const std::pair<int, void (CPlayersPage::*)()> buttons[] = {
      {ids::kAdd, &CPlayersPage::OnAdd},
      {ids::kRemove, &CPlayersPage::OnRemove},
      {ids::kConfigure, &CPlayersPage::OnConfigure},
      {ids::kExecute, &CPlayersPage::OnExecute},
      {ids::kFindInstalled, &CPlayersPage::FindInstalledPlayers},
  };
  for (const auto& [id, handler] : buttons) {
    connect(FindControlAs<QPushButton>(*this, id), &QPushButton::clicked, this, handler);
  }
  connect(list_, &QListWidget::itemSelectionChanged, this, &CPlayersPage::UpdateButtons);
}

void CPlayersPage::OnFirstShow() {
  ShowValues();
  for (PlayerRecord& record : values_.Players) AddEntry(record);
  list_->clearSelection();
  list_->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
  EnableTooltips(kTooltips);
  UpdateButtons();
}

void CPlayersPage::UpdateButtons() {
  const bool selected = SelectedRecord() != nullptr;
  for (int id : {ids::kConfigure, ids::kRemove, ids::kExecute}) {
    FindControl(*this, id)->setEnabled(selected);
  }
}

QListWidgetItem* CPlayersPage::AddEntry(PlayerRecord& record) {
  const QString name = ToQString(record.Name);
  const int row = SortedPosition(
      list_->count(), [this](int i) { return list_->item(i)->text(); }, name);
  auto* item = new QListWidgetItem(name);
  // The working copy is a list, so a record stays where it is while others come and go.
  item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(&record)));
  list_->insertItem(row, item);
  return item;
}

PlayerRecord* CPlayersPage::RecordOf(const QListWidgetItem* item) const {
  return item == nullptr ? nullptr
                         : static_cast<PlayerRecord*>(item->data(Qt::UserRole).value<void*>());
}

PlayerRecord* CPlayersPage::SelectedRecord() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? nullptr : RecordOf(selected.first());
}

void CPlayersPage::Select(QListWidgetItem* item) {
  list_->setCurrentItem(item);
  item->setSelected(true);
  list_->scrollToItem(item);
  UpdateButtons();
}

std::string CPlayersPage::Problem(const PlayerRecord& record, const PlayerRecord* except) const {
  PlayerList others;
  for (const PlayerRecord& listed : values_.Players) {
    if (&listed != except) others.push_back(listed);
  }
  return NewPlayerProblem(record, others);
}

void CPlayersPage::OnAdd() {
  // The number is used up even when the dialog is cancelled.
  const int number = newPlayerCounter.fetch_add(1);
  PlayerRecord record(NewPlayerName(number), "", std::string(kNewPlayerCommandLine),
                      PlaylistType::NoPlaylist);
  CPlayerInfoDlg dialog(record, ToQString(res::LoadString(res::kStrAddPlayerCaption)),
                        services_.messages, this,
                        [this](const PlayerRecord& edited) { return Problem(edited, nullptr); });
  if (!dialog.Run(record)) return;
  values_.Players.push_back(record);
  Select(AddEntry(values_.Players.back()));
}

void CPlayersPage::OnRemove() {
  QListWidgetItem* item = list_->selectedItems().value(0);
  PlayerRecord* record = RecordOf(item);
  if (record == nullptr) return;
  values_.Players.remove_if([record](const PlayerRecord& listed) { return &listed == record; });
  delete item;
  list_->clearSelection();
  UpdateButtons();
}

void CPlayersPage::OnConfigure() {
  QListWidgetItem* item = list_->selectedItems().value(0);
  PlayerRecord* record = RecordOf(item);
  if (record == nullptr) return;
  PlayerRecord copy = *record;
  CPlayerInfoDlg dialog(
      copy, ToQString(res::LoadString(res::kStrConfigurePlayerCaption)), services_.messages, this,
      [this, record](const PlayerRecord& edited) { return Problem(edited, record); });
  if (!dialog.Run(copy)) return;
  // The record keeps its place in the list; its entry moves to its name's sorted place.
  *record = copy;
  delete item;
  Select(AddEntry(*record));
}

void CPlayersPage::OnExecute() {
  const PlayerRecord* record = SelectedRecord();
  if (record == nullptr) return;
  const StartResult result = StartPlayer(services_.processes, record->AppPath, "");
  if (result.started) return;
  // Nothing would happen on the screen otherwise.
  std::string text = "Cannot start " + record->AppPath;
  if (!result.error.empty()) text += ": " + result.error;
  services_.messages.Show(text + ".");
}

void CPlayersPage::FindInstalledPlayers() {
  quorvel::FindInstalledPlayers(
      services_.registry, services_.processes, values_.Players, [this](const PlayerRecord& found) {
        switch (services_.messages.Show(FoundPlayerQuestion(found), {}, MessageButtons::YesNoCancel,
                                        MessageIcon::Question)) {
          case MessageAnswer::Yes:
            values_.Players.push_back(found);
            Select(AddEntry(values_.Players.back()));
            return true;
          case MessageAnswer::Cancel:
            return false;
          default:
            return true;
        }
      });
}

}  // namespace quorvel

#pragma once
// The Players page of the options sheet: the list of player programs. The user adds,
// removes, edits and tries players, or lets the page look for installed ones. The page
// edits a copy of the list, which replaces the stored one on OK.

#include "faces/qt/desktop/options_page.h"

class QListWidget;
class QListWidgetItem;

namespace quorvel {

class CPlayersPage final : public COptionsPage {
  Q_OBJECT

 public:
  CPlayersPage(Settings& settings, const Services& services);

  // The number the next "New Player %d" gets; one counter for the whole process.
  static int NextNewPlayerNumber();

  void OnAdd();
  void OnRemove();
  void OnConfigure();
  void OnExecute();
  // Looks for installed players and offers each found one.
  void FindInstalledPlayers();

 protected:
  void OnFirstShow() override;

 private:
  void ConnectHandlers();
  // Configure, Remove and Execute need a selected player.
  void UpdateButtons();
  // Adds a list entry for `record` (of the working copy) at its sorted place.
  QListWidgetItem* AddEntry(PlayerRecord& record);
  PlayerRecord* RecordOf(const QListWidgetItem* item) const;
  PlayerRecord* SelectedRecord() const;
  void Select(QListWidgetItem* item);
  // The record as it would be added to the list without `except`, or why it cannot be.
  std::string Problem(const PlayerRecord& record, const PlayerRecord* except) const;

  QListWidget* list_ = nullptr;
};

}  // namespace quorvel

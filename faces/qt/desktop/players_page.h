#pragma once
// The Players page of the options sheet: the list of player programs. What it decides is
// desk::PlayersPageRules; the page runs the Player Info dialog for it.

#include "faces/qt/desktop/options_page.h"
#include "rules/desk/players_page_rules.h"

class QListWidget;

namespace quorvel {

class CPlayersPage final : public COptionsPage, public desk::PlayersPageView {
  Q_OBJECT

 public:
  CPlayersPage(Settings& settings, const Services& services);

  // The number the next "New Player %d" gets; one counter for the whole process.
  static int NextNewPlayerNumber() { return desk::PlayersPageRules::NextNewPlayerNumber(); }

  void OnAdd() { rules_.OnAdd(); }
  void OnRemove() { rules_.OnRemove(); }
  void OnConfigure() { rules_.OnConfigure(); }
  void OnExecute() { rules_.OnExecute(); }
  // Looks for installed players and offers each found one.
  void FindInstalledPlayers() { rules_.OnFindInstalledPlayers(); }

  // desk::PlayersPageView
  bool RunPlayerInfo(PlayerRecord& record, std::string_view caption,
                     const desk::PlayerInfoRules::ProblemCheck& problem) override;

 private:
  void ConnectHandlers();

  desk::PlayersPageRules rules_;
  const Services services_;
};

}  // namespace quorvel

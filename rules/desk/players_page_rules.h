#pragma once
// The Players page of the options sheet: the list of player programs. The user adds,
// removes, edits and tries players, or lets the page look for installed ones. The page
// edits a copy of the list, which replaces the stored one on OK; its list box shows the
// copy's names sorted (sorted_names.h), while the copy keeps its order.

#include <string>
#include <string_view>
#include <vector>

#include "rules/desk/page_rules.h"
#include "rules/desk/player_info_rules.h"

namespace quorvel::desk {

class PlayersPageView {
 public:
  // Runs the Player Info dialog modally over the page, under the title `caption`, on a
  // copy of `record`; true for OK, with `record` holding the edited values (which
  // `problem` found no fault with); false otherwise, with `record` as it was.
  virtual bool RunPlayerInfo(PlayerRecord& record, std::string_view caption,
                             const PlayerInfoRules::ProblemCheck& problem) = 0;

 protected:
  ~PlayersPageView() = default;
};

class PlayersPageRules final : public PageRules {
 public:
  PlayersPageRules(Settings& settings, const Services& services, PageView& page,
                   PlayersPageView& view);

  // The number the next "New Player %d" gets; one counter for the whole process, counting
  // on across openings of the sheet.
  static int NextNewPlayerNumber();

  // The buttons.
  void OnAdd();
  void OnRemove();
  void OnConfigure();
  void OnExecute();
  // "Find Installed Players": looks for installed players and offers each found one.
  void OnFindInstalledPlayers();
  // The list's selection changed.
  void OnSelectionChanged() { UpdateButtons(); }

  // The names the list shows, in order.
  std::vector<std::string> ListedNames() const;

 protected:
  void OnFirstShow() override;

 private:
  // Configure, Remove and Execute need a selected player.
  void UpdateButtons();
  // The row of the selected player, or -1.
  int SelectedRow();
  // Adds a row for `record` (of the working copy) at its sorted place, selects it and
  // scrolls it into view.
  void AddAndSelect(PlayerList::iterator record);
  // The record as it would be added to the list without `except`, or why it cannot be.
  std::string Problem(const PlayerRecord& record, const PlayerRecord* except) const;

  PlayersPageView& view_;
  // The records of the rows of the list, in row order. The working copy is a list, so a
  // record stays where it is while others come and go.
  std::vector<PlayerList::iterator> rows_;
};

}  // namespace quorvel::desk

#pragma once
// The Disks page of the options sheet: for each of eight kinds of movie (the five of
// the first disks, DVD-Video and Blu-ray disks, today's movie files), the player that
// plays it and the command line it gets. The player lists show the players of the
// settings sorted by name (sorted_names.h); the page reads the players but never
// changes them.

#include <cstddef>
#include <string>
#include <vector>

#include "rules/desk/page_rules.h"

namespace quorvel::desk {

class DisksPageRules final : public PageRules {
 public:
  DisksPageRules(Settings& settings, const Services& services, PageView& view);

  // The user chose a player in the list `listId`: the player's command line goes into
  // the edit beside that list (the second-audio list's too); for a player that the
  // detection table knows, its line for that kind (DetectedCommandLine) where it has
  // one, so that mpv gets its "dvd://" line for DVD-Video disks.
  void OnPlayerChosen(int listId);

  // The ids of the player lists, whose choices a face hands to OnPlayerChosen.
  static std::vector<int> PlayerListIds();

  // The names that each player list shows, in order (none before the first show).
  std::vector<std::string> ListedNames() const;

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnFirstShow() override;

 private:
  // Where a player list's kind stands in kChoices; -1 for another id.
  static int ChoiceOf(int listId);
  // The player that row `row` of a player list shows, or null.
  const PlayerRecord* PlayerAt(int row) const;

  // The players as the page took them at first show.
  std::vector<PlayerRecord> players_;
  // The place in players_ of each row's player, the same for every list.
  std::vector<std::size_t> rows_;
};

}  // namespace quorvel::desk

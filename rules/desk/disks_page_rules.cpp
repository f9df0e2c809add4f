#include "rules/desk/disks_page_rules.h"

#include <algorithm>
#include <numeric>

#include "playback/installed_players.h"
#include "resources/resource_ids.h"
#include "rules/desk/sorted_names.h"
#include "windows_rules/ascii.h"

namespace quorvel::desk {

namespace {

namespace ids = res::disks;

// A player list's name is read by the page's own exchange step (the name of the player
// of the selected row); showing a value changes nothing, since the page selects the row
// itself at first show.
const FieldBinding kBindings[] = {
    {ids::kDivXPlayer, &Settings::DivXPlayer, bind::ByPage},
    {ids::kDivXCommand, &Settings::DivXCommandLine, bind::Text},
    {ids::kDivXAudio2Player, &Settings::DivXAudio2Player, bind::ByPage},
    {ids::kDivXAudio2Command, &Settings::DivXAudio2CommandLine, bind::Text},
    {ids::kMpegPlayer, &Settings::MpegPlayer, bind::ByPage},
    {ids::kMpegCommand, &Settings::MpegCommandLine, bind::Text},
    {ids::kVcdPlayer, &Settings::VcdPlayer, bind::ByPage},
    {ids::kVcdCommand, &Settings::VcdCommandLine, bind::Text},
    {ids::kSvcdPlayer, &Settings::SvcdPlayer, bind::ByPage},
    {ids::kSvcdCommand, &Settings::SvcdCommandLine, bind::Text},
    {ids::kDvdPlayer, &Settings::DvdPlayer, bind::ByPage},
    {ids::kDvdCommand, &Settings::DvdCommandLine, bind::Text},
    {ids::kBlurayPlayer, &Settings::BlurayPlayer, bind::ByPage},
    {ids::kBlurayCommand, &Settings::BlurayCommandLine, bind::Text},
    {ids::kVideoPlayer, &Settings::VideoPlayer, bind::ByPage},
    {ids::kVideoCommand, &Settings::VideoCommandLine, bind::Text},
};

// Each kind's player list with its stored name, the command line beside it and what
// that line plays, in the order the lists are filled.
struct PlayerChoice {
  int listId;
  std::string Settings::*player;
  std::string Settings::*commandLine;
  PlayedAs as;
};

constexpr PlayerChoice kChoices[] = {
    {ids::kDivXPlayer, &Settings::DivXPlayer, &Settings::DivXCommandLine, PlayedAs::Files},
    {ids::kDivXAudio2Player, &Settings::DivXAudio2Player, &Settings::DivXAudio2CommandLine,
     PlayedAs::SecondAudio},
    {ids::kMpegPlayer, &Settings::MpegPlayer, &Settings::MpegCommandLine, PlayedAs::Files},
    {ids::kSvcdPlayer, &Settings::SvcdPlayer, &Settings::SvcdCommandLine, PlayedAs::Files},
    {ids::kVcdPlayer, &Settings::VcdPlayer, &Settings::VcdCommandLine, PlayedAs::Files},
    {ids::kDvdPlayer, &Settings::DvdPlayer, &Settings::DvdCommandLine, PlayedAs::Dvd},
    {ids::kBlurayPlayer, &Settings::BlurayPlayer, &Settings::BlurayCommandLine, PlayedAs::Bluray},
    {ids::kVideoPlayer, &Settings::VideoPlayer, &Settings::VideoCommandLine, PlayedAs::Files},
};

}  // namespace

DisksPageRules::DisksPageRules(Settings& settings, const Services& services, PageView& view)
    : PageRules(res::kDisksPage, settings, services, view, kBindings) {}

std::vector<int> DisksPageRules::PlayerListIds() {
  std::vector<int> ids;
  for (const PlayerChoice& choice : kChoices) ids.push_back(choice.listId);
  return ids;
}

int DisksPageRules::ChoiceOf(int listId) {
  for (std::size_t i = 0; i < std::size(kChoices); ++i) {
    if (kChoices[i].listId == listId) return static_cast<int>(i);
  }
  return -1;
}

const PlayerRecord* DisksPageRules::PlayerAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
  return &players_[rows_[static_cast<std::size_t>(row)]];
}

std::vector<std::string> DisksPageRules::ListedNames() const {
  std::vector<std::string> names;
  names.reserve(rows_.size());
  for (std::size_t place : rows_) names.push_back(players_[place].Name);
  return names;
}

void DisksPageRules::DoDataExchange(DataExchange& exchange) {
  PageRules::DoDataExchange(exchange);
  if (!exchange.reading()) return;
  // Reading a player list gives the name of the selected row's player as the player
  // has it (in whatever code page it was stored), or the empty text.
  for (std::size_t i = 0; i < std::size(kChoices); ++i) {
    ControlValues* controls = exchange.Controls();
    if (controls == nullptr) return;
    const PlayerRecord* player = PlayerAt(controls->ListIndex(kChoices[i].listId));
    values_.*kChoices[i].player = player != nullptr ? player->Name : std::string();
  }
}

void DisksPageRules::OnFirstShow() {
  ShowValues();
  // Every list shows the players sorted by name; players of equal names keep their
  // order in the settings.
  players_.assign(values_.Players.begin(), values_.Players.end());
  rows_.resize(players_.size());
  std::iota(rows_.begin(), rows_.end(), std::size_t{0});
  std::stable_sort(rows_.begin(), rows_.end(), [this](std::size_t a, std::size_t b) {
    return NameLess(players_[a].Name, players_[b].Name);
  });
  const std::vector<std::string> names = ListedNames();
  for (const PlayerChoice& choice : kChoices) {
    Controls().SetListItems(choice.listId, names);
    // The first row, in sorted order, whose name begins with the stored name, in any
    // letter case; an empty name selects nothing.
    int selected = -1;
    const std::string& stored = values_.*choice.player;
    for (std::size_t row = 0; !stored.empty() && row < names.size(); ++row) {
      if (StartsWithIgnoringAsciiCase(names[row], stored)) {
        selected = static_cast<int>(row);
        break;
      }
    }
    Controls().SetListIndex(choice.listId, selected);
  }
}

void DisksPageRules::OnPlayerChosen(int listId) {
  ReadControls();
  const int choice = ChoiceOf(listId);
  const PlayerRecord* player = choice < 0 ? nullptr : PlayerAt(Controls().ListIndex(listId));
  if (player != nullptr) {
    // A player that detection knows gets its line for the kind (a disk address, the
    // second audio stream); any other, and one that has no such line, its own.
    const PlayerChoice& row = kChoices[static_cast<std::size_t>(choice)];
    const std::string_view detected = DetectedCommandLine(*player, row.as);
    values_.*row.commandLine = detected.empty() ? player->CmdLine : std::string(detected);
  }
  ShowValues();
}

}  // namespace quorvel::desk

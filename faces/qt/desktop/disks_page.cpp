#include "faces/qt/desktop/disks_page.h"

#include <QComboBox>

#include "faces/qt/desktop/sorted_names.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace {

namespace ids = res::disks;

// Each entry of a player list carries its record's place in the page's copy and the
// name's own bytes, so that a name in any code page is stored as the player has it.
constexpr int kPlaceRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

// A list of player names: reading gives the selected name, or the empty text; showing a
// value changes nothing, since the page selects the entry itself at first show.
void PlayerNameList(DataExchange& exchange, int id, std::string& name) {
  auto* list = qobject_cast<QComboBox*>(exchange.Control(id));
  if (list == nullptr || !exchange.reading()) return;
  name = list->currentIndex() < 0 ? std::string()
                                  : list->currentData(kNameRole).toByteArray().toStdString();
}

const FieldBinding kBindings[] = {
    {ids::kDivXPlayer, &Settings::DivXPlayer, PlayerNameList},
    {ids::kDivXCommand, &Settings::DivXCommandLine, bind::Text},
    {ids::kDivXAudio2Player, &Settings::DivXAudio2Player, PlayerNameList},
    {ids::kDivXAudio2Command, &Settings::DivXAudio2CommandLine, bind::Text},
    {ids::kMpegPlayer, &Settings::MpegPlayer, PlayerNameList},
    {ids::kMpegCommand, &Settings::MpegCommandLine, bind::Text},
    {ids::kVcdPlayer, &Settings::VcdPlayer, PlayerNameList},
    {ids::kVcdCommand, &Settings::VcdCommandLine, bind::Text},
    {ids::kSvcdPlayer, &Settings::SvcdPlayer, PlayerNameList},
    {ids::kSvcdCommand, &Settings::SvcdCommandLine, bind::Text},
};

// Each kind's player list with its stored name and the command line beside it, in the
// order the lists are filled.
struct PlayerChoice {
  int listId;
  std::string Settings::*player;
  std::string Settings::*commandLine;
};

constexpr PlayerChoice kChoices[] = {
    {ids::kDivXPlayer, &Settings::DivXPlayer, &Settings::DivXCommandLine},
    {ids::kDivXAudio2Player, &Settings::DivXAudio2Player, &Settings::DivXAudio2CommandLine},
    {ids::kMpegPlayer, &Settings::MpegPlayer, &Settings::MpegCommandLine},
    {ids::kSvcdPlayer, &Settings::SvcdPlayer, &Settings::SvcdCommandLine},
    {ids::kVcdPlayer, &Settings::VcdPlayer, &Settings::VcdCommandLine},
};

}  // namespace

CDisksPage::CDisksPage(Settings& settings, const Services& services)
    : COptionsPage(res::kDisksPage, settings, services, kBindings) {
  ConnectHandlers();
}

// Event table: a player chosen by the user in any of the five lists. The second-audio
// list puts its player's command line into its edit as the other four do.
void CDisksPage::ConnectHandlers() {
  for (const PlayerChoice& choice : kChoices) {
    auto* list = FindControlAs<QComboBox>(*this, choice.listId);
    connect(list, &QComboBox::activated, this,
            [this, list, commandLine = choice.commandLine] { OnPlayerChosen(*list, commandLine); });
  }
}

void CDisksPage::OnFirstShow() {
  ShowValues();
  for (const PlayerChoice& choice : kChoices) {
    FillPlayerList(*FindControlAs<QComboBox>(*this, choice.listId), values_.*choice.player);
  }
}

void CDisksPage::FillPlayerList(QComboBox& list, const std::string& stored) {
  int index = 0;
  for (const PlayerRecord& player : values_.Players) {
    const QString name = ToQString(player.Name);
    const int row = SortedPosition(
        list.count(), [&list](int i) { return list.itemText(i); }, name);
    list.insertItem(row, name, index++);
    list.setItemData(row, QByteArray::fromStdString(player.Name), kNameRole);
  }
  list.setCurrentIndex(-1);
  if (stored.empty()) return;
  const QString prefix = ToQString(stored);
  for (int i = 0; i < list.count(); ++i) {
    if (list.itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
      list.setCurrentIndex(i);
      return;
    }
  }
}

void CDisksPage::OnPlayerChosen(QComboBox& list, std::string Settings::*commandLine) {
  ReadControls();
  const QVariant index = list.currentData(kPlaceRole);
  if (index.isValid() && index.toInt() >= 0 &&
      static_cast<std::size_t>(index.toInt()) < values_.Players.size()) {
    values_.*commandLine = std::next(values_.Players.begin(), index.toInt())->CmdLine;
  }
  ShowValues();
}

}  // namespace quorvel

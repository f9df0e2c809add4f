// What every desk window stands on: the data exchange over control values, the page
// pattern (working copy, first show, storing exactly the bound fields), tooltip tables,
// the texts with places, and the one order of player names.

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "rules/desk/data_exchange.h"
#include "rules/desk/desk_fixture.h"
#include "rules/desk/desk_text.h"
#include "rules/desk/page_rules.h"
#include "rules/desk/sorted_names.h"
#include "rules/desk/tooltip_table.h"

namespace quorvel {
namespace {

using desk::DataExchange;
using Direction = DataExchange::Direction;
using testing::DeskFixture;
using testing::RecordingControls;
using testing::RecordingPage;

constexpr int kBox = 1;
constexpr int kList = 2;
constexpr int kName = 3;
constexpr int kNumber = 4;
constexpr int kLater = 5;

TEST(DataExchangeTest, EachKindBothWaysAndARefusedNumberStopsTheRead) {
  RecordingControls controls;
  RecordingMessages messages;
  controls[kList].items = {"a", "b", "c"};
  std::int32_t box = 5;
  std::int32_t index = 2;
  std::string name = "Caf\xe9";  // stored in Windows-1252
  std::uint32_t number = 9;
  std::int32_t later = 1;
  DataExchange(controls, Direction::ShowValues, messages)
      .CheckBox(kBox, box)
      .DropDownList(kList, index)
      .Text(kName, name)
      .Unsigned(kNumber, number);
  EXPECT_TRUE(controls[kBox].checked);  // any value but 0
  EXPECT_EQ(controls[kList].index, 2);
  EXPECT_EQ(controls[kName].text, "Caf\xe9");
  EXPECT_EQ(controls[kNumber].text, "9");
  index = 3;  // an index the list does not have selects nothing
  DataExchange(controls, Direction::ShowValues, messages).DropDownList(kList, index);
  EXPECT_EQ(controls[kList].index, -1);

  // Read back: a box as 0 or 1, an unchanged text as the bytes it had, a number with
  // blanks around it.
  controls[kList].index = 1;
  controls[kNumber].text = " 4294967295 ";
  controls[kLater].checked = false;
  DataExchange read(controls, Direction::ReadControls, messages);
  read.CheckBox(kBox, box).DropDownList(kList, index).Text(kName, name).Unsigned(kNumber, number);
  EXPECT_TRUE(read.ok());
  EXPECT_EQ(box, 1);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(name, "Caf\xe9");
  EXPECT_EQ(number, 4294967295u);

  // A number that is not one is refused with the table's message, the edit gets the
  // focus, and the bindings after it are not read.
  for (const char* bad : {"12x", "", "-3", "4294967296", "1.5"}) {
    SCOPED_TRACE(bad);
    controls[kNumber].text = bad;
    controls[kName].text = "typed";
    messages.messages.clear();
    controls.refused.clear();
    DataExchange refused(controls, Direction::ReadControls, messages);
    refused.Unsigned(kNumber, number).Text(kName, name).CheckBox(kLater, later);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(number, 4294967295u);
    EXPECT_EQ(name, "Caf\xe9");
    EXPECT_EQ(later, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Please enter a whole number from 0 to 4294967295.");
    EXPECT_EQ(controls.refused, std::vector<int>{kNumber});
  }
}

// A page of the kind the real ones are: a text, a list of its own kind, and two values
// that its handlers change.
const desk::FieldBinding kTestBindings[] = {
    {kName, &Settings::DivXCommandLine, desk::bind::Text},
    {kList, &Settings::DivXPlayer, desk::bind::ByPage},
    {res::kNoId, desk::Member(&Settings::Theme, &Theme::LabelFg), desk::bind::HandlersOnly},
    {res::kNoId, &Settings::Players, desk::bind::HandlersOnly},
};
constexpr desk::TooltipEntry kTestTooltips[] = {{kBox, res::kStrShutdownTooltip}};

class TestPage final : public desk::PageRules {
 public:
  TestPage(Settings& settings, const Services& services, desk::PageView& view)
      : PageRules(res::kDisksPage, settings, services, view, kTestBindings) {}

  Settings& Copy() { return values_; }
  int firstShows = 0;

 protected:
  void DoDataExchange(DataExchange& exchange) override {
    PageRules::DoDataExchange(exchange);
    if (exchange.reading() && exchange.Controls() != nullptr) {
      const int row = exchange.Controls()->ListIndex(kList);
      values_.DivXPlayer = row < 0 ? "" : "player " + std::to_string(row);
    }
  }
  void OnFirstShow() override {
    ++firstShows;
    ShowValues();
    EnableTooltips(kTestTooltips);
  }
};

TEST(PageRulesTest, APageStoresItsBoundFieldsOnlyAndOnlyWhatItWasShown) {
  DeskFixture f;
  f.settings.DivXCommandLine = "-fs caf\xe9";
  f.settings.Autoplay = 0;
  RecordingPage view;
  view.controls[kList].items = {"x", "y"};
  TestPage page(f.settings, f.View(), view);
  EXPECT_FALSE(page.WasShown());
  EXPECT_EQ(page.Tooltip(kBox), std::nullopt);  // not before they are enabled
  page.OnShow();
  page.OnShow();
  EXPECT_TRUE(page.WasShown());
  EXPECT_EQ(page.firstShows, 1);
  EXPECT_EQ(view.tooltipsEnabled, 1);
  EXPECT_EQ(page.Tooltip(kBox), res::LoadString(res::kStrShutdownTooltip));
  EXPECT_EQ(page.Tooltip(kName), std::nullopt);
  EXPECT_EQ(view.controls[kName].text, "-fs caf\xe9");

  view.controls[kList].index = 1;
  page.Copy().Theme.LabelFg = Rgb(1, 2, 3);
  page.Copy().Players.push_back({"vlc", "/usr/bin/vlc", "%f", PlaylistType::NoPlaylist});
  page.Copy().Autoplay = 1;  // not bound: never stored
  ASSERT_TRUE(page.ReadControls());
  EXPECT_EQ(f.settings.DivXPlayer, "");  // nothing reaches the settings before the store
  page.Store();
  EXPECT_EQ(f.registry.saves, 1);
  EXPECT_EQ(f.settings.DivXPlayer, "player 1");
  EXPECT_EQ(f.settings.DivXCommandLine, "-fs caf\xe9");
  EXPECT_EQ(f.settings.Theme.LabelFg, Rgb(1, 2, 3));
  ASSERT_EQ(f.settings.Players.size(), 1u);
  EXPECT_EQ(f.settings.Autoplay, 0);
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(f.registry));
  EXPECT_EQ(reloaded.DivXPlayer, "player 1");
  EXPECT_EQ(reloaded.Players.size(), 1u);
}

TEST(TooltipTableTest, FirstMatchWinsAndAnEntryWithoutTextShowsNothing) {
  constexpr desk::TooltipEntry table[] = {
      {1, res::kStrShutdownTooltip}, {2, 0}, {1, res::kStrPlay}, {2, res::kStrPlay}};
  EXPECT_EQ(desk::LookUpTooltip(table, 1), res::LoadString(res::kStrShutdownTooltip));
  EXPECT_EQ(desk::LookUpTooltip(table, 2), std::nullopt);
  EXPECT_EQ(desk::LookUpTooltip(table, 3), std::nullopt);
}

TEST(DeskTextTest, PlacesAreFilledLeftToRightAndValuesAreNotSearched) {
  EXPECT_EQ(desk::FormatText(res::kStrNewPlayerName, {"4"}), "New Player 4");
  // A name that holds a place itself keeps it: the path goes into the second place.
  EXPECT_EQ(desk::FormatText(res::kStrFoundPlayer, {"mpv %s", "/usr/bin/mpv"}),
            "Found mpv %s at /usr/bin/mpv\nDo you want to add it?");
  EXPECT_EQ(desk::FormatText(res::kStrCannotStartBecause, {"/opt/a", "gone"}),
            "Cannot start /opt/a: gone.");
  // Fewer values than places: the rest stay.
  EXPECT_EQ(desk::FormatText(res::kStrFoundPlayer, {}), "Found %s at %s\nDo you want to add it?");
}

TEST(SortedNamesTest, ByteOrderWithoutRegardToAsciiCaseThenByBytes) {
  const std::vector<std::string> names = {
      "Zoom Player", "mpv",     "BSPlayer",    "beta",    "Alpha",   "Gamma", "_under",
      "Beta",        "9 lives", "caf\xc3\xa9", "Caf\xe9", "\x80uro", "a\nb",  ""};
  std::vector<std::string> sorted = names;
  std::stable_sort(sorted.begin(), sorted.end(), desk::NameLess);
  // Letters as their small forms (so "_" comes before them, as in Qt's case-blind
  // order); bytes above 127 after every ASCII character; the same name in two cases by
  // its bytes.
  const std::vector<std::string> expected = {
      "",         "9 lives",     "_under",  "a\nb",  "Alpha", "Beta",        "beta",
      "BSPlayer", "caf\xc3\xa9", "Caf\xe9", "Gamma", "mpv",   "Zoom Player", "\x80uro"};
  EXPECT_EQ(sorted, expected);

  // Where a name goes: after every name that does not sort after it.
  const std::vector<std::string> list = {"alpha", "Beta", "beta", "gamma"};
  const auto at = [&](std::size_t i) -> std::string_view { return list[i]; };
  EXPECT_EQ(desk::SortedPosition(list.size(), at, "BETA"), 1u);
  EXPECT_EQ(desk::SortedPosition(list.size(), at, "beta"), 3u);
  EXPECT_EQ(desk::SortedPosition(list.size(), at, "zeta"), 4u);
  EXPECT_EQ(desk::SortedPosition(0, at, "any"), 0u);
}

}  // namespace
}  // namespace quorvel

// The Players page and the Player Info dialog on recording views: the list's operations
// and buttons, the "New Player %d" counter, the checks of an edited record, Execute, and
// player detection's questions and answers.

#include "rules/desk/players_page_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/registry_values.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "rules/desk/desk_fixture.h"

namespace quorvel {
namespace {

namespace ids = res::players;
namespace info = res::player_info;
using Strings = std::vector<std::string>;
using testing::RecordingPlayerInfo;

struct PlayersFixture : testing::DeskFixture {
  testing::RecordingPlayersPage page{messages};
  std::unique_ptr<desk::PlayersPageRules> rules;

  desk::PlayersPageRules& Open() {
    rules = std::make_unique<desk::PlayersPageRules>(settings, View(), page, page);
    rules->OnShow();
    return *rules;
  }
  testing::RecordingControls::Control& List() { return page.controls[ids::kPlayerList]; }
  bool Enabled(int id) { return page.controls[id].enabled; }
  void Select(const std::string& name) {
    const Strings& items = List().items;
    const auto found = std::find(items.begin(), items.end(), name);
    ASSERT_NE(found, items.end()) << name;
    List().index = static_cast<int>(found - items.begin());
    rules->OnSelectionChanged();
  }
  std::string Selected() {
    return List().index < 0 ? std::string() : List().items[static_cast<std::size_t>(List().index)];
  }
  // The next Player Info dialog: `edit` types into it, then OK (its answer stands) or
  // Cancel.
  void Answer(std::function<void(RecordingPlayerInfo&)> edit, bool ok = true) {
    page.answerPlayerInfo = [edit = std::move(edit), ok](RecordingPlayerInfo& dialog,
                                                         desk::PlayerInfoRules& dialogRules) {
      edit(dialog);
      return ok && dialogRules.OnOk();
    };
  }
};

TEST(PlayersPageRulesTest, AddRemoveConfigureKeepTheListSortedAndTheStoredOrder) {
  PlayersFixture f;
  f.settings.Players = {{"Zoom Player", "/opt/zoom/zplayer.exe", "%f", PlaylistType::AsxPlaylist},
                        {"beta", "/usr/bin/beta", "%f", PlaylistType::NoPlaylist},
                        {"BSPlayer", "/opt/bsplayer.exe", "-fs %f", PlaylistType::BslPlaylist}};
  const PlayerList before = f.settings.Players;
  desk::PlayersPageRules& page = f.Open();
  EXPECT_EQ(f.List().items, (Strings{"beta", "BSPlayer", "Zoom Player"}));
  EXPECT_EQ(f.List().index, -1);
  EXPECT_EQ(f.page.tooltipsEnabled, 1);
  EXPECT_EQ(page.Tooltip(ids::kAdd), res::LoadString(res::kStrAddTooltip));
  EXPECT_EQ(page.Tooltip(ids::kConfigure), std::nullopt);
  EXPECT_FALSE(f.Enabled(ids::kRemove) || f.Enabled(ids::kConfigure) || f.Enabled(ids::kExecute));
  EXPECT_TRUE(f.Enabled(ids::kAdd) && f.Enabled(ids::kFindInstalled));

  // Cancelled adds use up their numbers; OK without typing adds the proposed player.
  const int first = desk::PlayersPageRules::NextNewPlayerNumber();
  page.OnAdd();
  page.OnAdd();
  const std::string third = "New Player " + std::to_string(first + 2);
  f.Answer([](RecordingPlayerInfo&) {});
  page.OnAdd();
  EXPECT_EQ(f.page.captions, (Strings{"Add Player", "Add Player", "Add Player"}));
  EXPECT_EQ(f.page.proposed.back(), PlayerRecord(third, "", "%f", PlaylistType::NoPlaylist));
  EXPECT_EQ(f.List().items, (Strings{"beta", "BSPlayer", third, "Zoom Player"}));
  EXPECT_EQ(f.Selected(), third);
  EXPECT_TRUE(f.Enabled(ids::kRemove) && f.Enabled(ids::kConfigure) && f.Enabled(ids::kExecute));

  // Remove: nothing selected afterwards.
  f.Select("BSPlayer");
  page.OnRemove();
  EXPECT_EQ(f.List().items, (Strings{"beta", third, "Zoom Player"}));
  EXPECT_EQ(f.List().index, -1);
  EXPECT_FALSE(f.Enabled(ids::kRemove));
  page.OnRemove();  // nothing selected: nothing happens
  page.OnConfigure();
  EXPECT_EQ(f.List().items.size(), 3u);

  // Configure renames Zoom Player: its row moves, selected; its record keeps its place.
  f.Select("Zoom Player");
  f.Answer([](RecordingPlayerInfo& dialog) {
    dialog.controls[info::kName].text = "Aardvark";
    dialog.controls[info::kPlaylist].index = 3;  // "M3U"
  });
  page.OnConfigure();
  EXPECT_EQ(f.page.captions.back(), "Configure Player");
  EXPECT_EQ(f.page.proposed.back(), before.front());
  EXPECT_EQ(f.List().items, (Strings{"Aardvark", "beta", third}));
  EXPECT_EQ(f.Selected(), "Aardvark");

  // Nothing reaches the settings before OK; OK replaces the list in its own order.
  EXPECT_EQ(f.settings.Players, before);
  page.Store();
  const std::vector<PlayerRecord> stored(f.settings.Players.begin(), f.settings.Players.end());
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0],
            PlayerRecord("Aardvark", "/opt/zoom/zplayer.exe", "%f", PlaylistType::M3uPlaylist));
  EXPECT_EQ(stored[1].Name, "beta");
  EXPECT_EQ(stored[2].Name, third);

  // The counter goes on across openings.
  f.page.answerPlayerInfo = nullptr;
  f.Open().OnAdd();
  EXPECT_EQ(desk::PlayersPageRules::NextNewPlayerNumber(), first + 4);
}

TEST(PlayersPageRulesTest, AnEditedRecordThatCouldNotBeStoredOrStartedIsRefused) {
  PlayersFixture f;
  f.settings.Players = {{"Gamma", "/usr/bin/gamma", "%f", PlaylistType::NoPlaylist},
                        {"Zeta", "/usr/bin/zeta", "%f", PlaylistType::NoPlaylist}};
  desk::PlayersPageRules& page = f.Open();
  f.Select("Gamma");
  std::vector<bool> answers;
  f.page.answerPlayerInfo = [&](RecordingPlayerInfo& dialog, desk::PlayerInfoRules& rules) {
    // A name that differs from another's in letter case only would share its key; a line
    // break cannot be a key's name; a double quote in the path could never start.
    for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
             {"ZETA", "/usr/bin/gamma"}, {"Two\nLines", "/usr/bin/gamma"}, {"Gamma", "/a\" \"b"}}) {
      dialog.controls[info::kName].text = name;
      dialog.controls[info::kAppPath].text = path;
      answers.push_back(rules.OnOk());
    }
    // Its own name again is no clash.
    dialog.controls[info::kName].text = "gamma";
    dialog.controls[info::kAppPath].text = "/usr/bin/gamma2";
    answers.push_back(rules.OnOk());
    return answers.back();
  };
  page.OnConfigure();
  EXPECT_EQ(answers, (std::vector<bool>{false, false, false, true}));
  ASSERT_EQ(f.messages.shown.size(), 3u);
  EXPECT_NE(f.messages.shown[0].text.find("already"), std::string::npos);
  EXPECT_EQ(f.List().items, (Strings{"gamma", "Zeta"}));
}

TEST(PlayerInfoRulesTest, PlaylistItemsTheOkRuleAndTheProgramChooser) {
  RecordingMessages messages;
  RecordingPlayerInfo dialog;
  // A type outside the list selects no item; OK then stores "no playlist".
  desk::PlayerInfoRules odd({"odd", "/opt/odd", "%f", static_cast<PlaylistType>(7)}, messages,
                            dialog);
  odd.OnInitDialog();
  EXPECT_EQ(dialog.controls[info::kPlaylist].items, (Strings{"None", "BSPlayer", "ASX", "M3U"}));
  EXPECT_EQ(dialog.controls[info::kPlaylist].index, -1);
  EXPECT_TRUE(odd.OnOk());
  EXPECT_EQ(odd.Edited().Playlist, PlaylistType::NoPlaylist);
  EXPECT_EQ(desk::PlayerInfoRules::PlaylistIndexOf(static_cast<PlaylistType>(INT32_MAX)), -1);
  for (PlaylistType type : {PlaylistType::NoPlaylist, PlaylistType::BslPlaylist,
                            PlaylistType::AsxPlaylist, PlaylistType::M3uPlaylist}) {
    EXPECT_EQ(desk::PlayerInfoRules::PlaylistTypeOf(desk::PlayerInfoRules::PlaylistIndexOf(type)),
              type);
  }

  // OK starts enabled, even with an empty program; editing applies the rule.
  RecordingPlayerInfo shown;
  desk::PlayerInfoRules rules({"New Player 1", "", "%f", PlaylistType::NoPlaylist}, messages,
                              shown);
  rules.OnInitDialog();
  EXPECT_TRUE(shown.controls[res::kIdOk].enabled);
  shown.controls[info::kName].text = "";
  rules.OnNameOrPathEdited();
  EXPECT_FALSE(shown.controls[res::kIdOk].enabled);
  shown.controls[info::kName].text = "VLC";
  rules.OnNameOrPathEdited();
  EXPECT_FALSE(shown.controls[res::kIdOk].enabled);

  // The chooser starts on all files unless the program ends in ".exe"; a chosen file
  // becomes the program and the rule runs again. A cancelled chooser changes nothing.
  rules.OnBrowse();
  EXPECT_EQ(shown.offered.programsFilter, "Programs (*.exe)");
  EXPECT_EQ(shown.offered.allFilesFilter, "All Files (*)");
  EXPECT_FALSE(shown.offered.startOnPrograms);
  shown.chosen = "/usr/bin/vlc";
  rules.OnBrowse();
  EXPECT_EQ(shown.controls[info::kAppPath].text, "/usr/bin/vlc");
  EXPECT_TRUE(shown.controls[res::kIdOk].enabled);
  shown.controls[info::kAppPath].text = "C:\\Players\\ZPLAYER.EXE";
  shown.chosen.reset();
  rules.OnBrowse();
  EXPECT_TRUE(shown.offered.startOnPrograms);
  EXPECT_EQ(shown.offeredPath, "C:\\Players\\ZPLAYER.EXE");
  EXPECT_EQ(shown.controls[info::kAppPath].text, "C:\\Players\\ZPLAYER.EXE");

  shown.controls[info::kPlaylist].index = 2;  // "ASX"
  ASSERT_TRUE(rules.OnOk());
  EXPECT_EQ(rules.Edited(),
            PlayerRecord("VLC", "C:\\Players\\ZPLAYER.EXE", "%f", PlaylistType::AsxPlaylist));
  EXPECT_TRUE(messages.messages.empty());
}

TEST(PlayersPageRulesTest, ExecuteStartsTheProgramAloneAndNamesOneThatCannotStart) {
  PlayersFixture f;
  f.settings.Players = {{"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                        {"odd", "/opt/a\"b", "%f", PlaylistType::NoPlaylist}};
  desk::PlayersPageRules& page = f.Open();
  f.Select("mpv");
  page.OnExecute();
  EXPECT_EQ(f.fake.processes.started, Strings{"\"/usr/bin/mpv\" "});
  f.Select("odd");
  page.OnExecute();
  EXPECT_EQ(f.fake.processes.started.size(), 1u);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].text, "Cannot start /opt/a\"b: its path holds a double quote.");
}

TEST(PlayersPageRulesTest, DetectionAsksForEachFoundPlayerAndYesNoCancelAnswer) {
  PlayersFixture f;
  // Installed: BSPlayer and Zoom Player in the registry, mpv and VLC on the search path.
  for (const auto& [key, value, path] : std::vector<std::array<std::string, 3>>{
           {"Software\\BST\\bsplayer", "AppPath", "/opt/bsplayer/bsplay.exe"},
           {"Software\\VirtuaMedia\\ZoomPlayer", "InstallDirectory", "/opt/zoom"}}) {
    ScopedKey opened(f.registry, f.registry.CreateKey(kCurrentUser, key));
    ASSERT_TRUE(WriteText(f.registry, opened.get(), value, path));
  }
  f.fake.processes.programs = {{"mpv", "/usr/bin/mpv"}, {"vlc", "/usr/bin/vlc"}};
  f.settings.Players = {{"MPV", "/opt/mpv", "%f", PlaylistType::NoPlaylist}};  // listed already
  desk::PlayersPageRules& page = f.Open();

  // Yes adds and selects; No goes on; a player listed in any letter case is not asked for.
  f.messages.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Yes};
  page.OnFindInstalledPlayers();
  ASSERT_EQ(f.messages.shown.size(), 3u);
  EXPECT_EQ(f.messages.shown[0].text,
            "Found BSPlayer at /opt/bsplayer/bsplay.exe\nDo you want to add it?");
  EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(f.messages.shown[1].text.rfind("Found Zoom Player at /opt/zoom", 0), 0u);
  EXPECT_EQ(f.messages.shown[2].text.rfind("Found VLC at /usr/bin/vlc", 0), 0u);
  EXPECT_EQ(f.List().items, (Strings{"MPV", "VLC", "Zoom Player"}));
  EXPECT_EQ(f.Selected(), "VLC");
  EXPECT_TRUE(f.Enabled(ids::kConfigure));
  page.Store();
  const std::vector<PlayerRecord> stored(f.settings.Players.begin(), f.settings.Players.end());
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[1].Playlist, PlaylistType::AsxPlaylist);
  EXPECT_EQ(stored[2].CmdLine,
            "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit %f");

  // Cancel to the first question ends the search.
  f.messages.shown.clear();
  f.messages.answers = {MessageAnswer::Cancel};
  f.Open().OnFindInstalledPlayers();
  EXPECT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.List().items.size(), 3u);
}

}  // namespace
}  // namespace quorvel

// The Disks, Codecs and View pages on recording views: the player lists sorted with the
// stored name's prefix selected, the command line a chosen player brings, names stored
// as the player has them; the four codec switches; the View page's colour targets, its
// previews and their height, and what a cancelled chooser leaves.

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "rules/desk/codecs_page_rules.h"
#include "rules/desk/desk_fixture.h"
#include "rules/desk/disks_page_rules.h"
#include "rules/desk/view_page_rules.h"

namespace quorvel {
namespace {

namespace disks = res::disks;
namespace view = res::view;
using Area = desk::ThemeArea;
using Strings = std::vector<std::string>;
using testing::DeskFixture;
using testing::RecordingPage;

TEST(DisksPageRulesTest, ListsSortedThePrefixSelectedAndTheChosenPlayersCommandLine) {
  DeskFixture f;
  f.settings.Players = {{"Zoom Player", "/opt/zoom/zplayer.exe", "%f", PlaylistType::AsxPlaylist},
                        {"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                        {"Caf\xe9", "/opt/cafe", "-x \"%f\"", PlaylistType::NoPlaylist},
                        {"BSPlayer", "/opt/bsplayer.exe", "-fs %f", PlaylistType::BslPlaylist}};
  f.settings.DivXPlayer = "bsp";  // a prefix, in other letter case
  f.settings.DivXCommandLine = "-stay %f";
  f.settings.DivXAudio2Player = "MPV";
  f.settings.MpegPlayer = "";  // selects nothing
  f.settings.VcdPlayer = "nobody";
  f.settings.SvcdPlayer = "CAF";
  RecordingPage view;
  desk::DisksPageRules page(f.settings, f.View(), view);
  page.OnShow();
  const Strings sorted = {"BSPlayer", "Caf\xe9", "mpv", "Zoom Player"};
  for (int id : {disks::kDivXPlayer, disks::kDivXAudio2Player, disks::kMpegPlayer,
                 disks::kVcdPlayer, disks::kSvcdPlayer}) {
    EXPECT_EQ(view.controls[id].items, sorted) << id;
  }
  EXPECT_EQ(view.controls[disks::kDivXPlayer].index, 0);
  EXPECT_EQ(view.controls[disks::kDivXAudio2Player].index, 2);
  EXPECT_EQ(view.controls[disks::kMpegPlayer].index, -1);
  EXPECT_EQ(view.controls[disks::kVcdPlayer].index, -1);
  EXPECT_EQ(view.controls[disks::kSvcdPlayer].index, 1);
  EXPECT_EQ(view.controls[disks::kDivXCommand].text, "-stay %f");

  // Choosing a player puts its command line beside its list (the second-audio list's
  // too); a hand-made text after that stays.
  view.controls[disks::kMpegPlayer].index = 3;
  page.OnPlayerChosen(disks::kMpegPlayer);
  EXPECT_EQ(view.controls[disks::kMpegCommand].text, "%f");
  view.controls[disks::kMpegCommand].text = "/fullscreen %f";
  view.controls[disks::kDivXAudio2Player].index = 0;
  page.OnPlayerChosen(disks::kDivXAudio2Player);
  EXPECT_EQ(view.controls[disks::kDivXAudio2Command].text, "-fs %f");
  EXPECT_EQ(view.controls[disks::kMpegCommand].text, "/fullscreen %f");

  // OK stores the full names as the players have them, and "" for lists without a
  // selection; the players themselves stay as they are.
  const PlayerList players = f.settings.Players;
  ASSERT_TRUE(page.ReadControls());
  page.Store();
  EXPECT_EQ(f.settings.DivXPlayer, "BSPlayer");
  EXPECT_EQ(f.settings.DivXAudio2Player, "BSPlayer");
  EXPECT_EQ(f.settings.DivXAudio2CommandLine, "-fs %f");
  EXPECT_EQ(f.settings.MpegPlayer, "Zoom Player");
  EXPECT_EQ(f.settings.MpegCommandLine, "/fullscreen %f");
  EXPECT_EQ(f.settings.VcdPlayer, "");
  EXPECT_EQ(f.settings.SvcdPlayer, "Caf\xe9");
  EXPECT_EQ(f.settings.Players, players);
  EXPECT_EQ(f.registry.saves, 1);

  // No players at all: eight empty lists, empty names stored.
  f.settings.Players.clear();
  RecordingPage empty;
  desk::DisksPageRules none(f.settings, f.View(), empty);
  none.OnShow();
  EXPECT_TRUE(empty.controls[disks::kDivXPlayer].items.empty());
  EXPECT_TRUE(empty.controls[disks::kVideoPlayer].items.empty());
  ASSERT_TRUE(none.ReadControls());
  none.Store();
  EXPECT_EQ(f.settings.DivXPlayer, "");
  EXPECT_EQ(f.settings.SvcdPlayer, "");
  EXPECT_EQ(f.settings.DvdPlayer, "");
}

TEST(DisksPageRulesTest, DiskAndTodaysFileRowsTakeTheDetectedPlayersLineForTheirKind) {
  DeskFixture f;
  f.settings.Players = {{"VLC", "/usr/bin/vlc", "--fullscreen %f", PlaylistType::M3uPlaylist},
                        {"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                        {"Haruna", "/usr/bin/haruna", "%f", PlaylistType::M3uPlaylist},
                        {"Mine", "/opt/mine", "-play %f", PlaylistType::NoPlaylist}};
  f.settings.DvdPlayer = "v";
  f.settings.DvdCommandLine = "--fullscreen dvd://%f";
  f.settings.BlurayPlayer = "MPV";
  f.settings.BlurayCommandLine = "--fs bd:// --bluray-device=%f";
  f.settings.VideoPlayer = "hAR";
  RecordingPage view;
  desk::DisksPageRules page(f.settings, f.View(), view);
  page.OnShow();
  const Strings sorted = {"Haruna", "Mine", "mpv", "VLC"};
  for (int id : {disks::kDvdPlayer, disks::kBlurayPlayer, disks::kVideoPlayer}) {
    EXPECT_EQ(view.controls[id].items, sorted) << id;
  }
  EXPECT_EQ(view.controls[disks::kDvdPlayer].index, 3);
  EXPECT_EQ(view.controls[disks::kBlurayPlayer].index, 2);
  EXPECT_EQ(view.controls[disks::kVideoPlayer].index, 0);
  EXPECT_EQ(view.controls[disks::kDvdCommand].text, "--fullscreen dvd://%f");
  EXPECT_EQ(view.controls[disks::kBlurayCommand].text, "--fs bd:// --bluray-device=%f");
  EXPECT_EQ(view.controls[disks::kVideoCommand].text, "");

  // Each kind's line of the player that detection knows; the player's own for files,
  // for a player detection does not know, and for one that cannot play the disk.
  const auto choose = [&](int list, int row, int edit) {
    view.controls[list].index = row;
    page.OnPlayerChosen(list);
    return view.controls[edit].text;
  };
  EXPECT_EQ(choose(disks::kDvdPlayer, 2, disks::kDvdCommand),
            "--fs --keep-open=no dvd:// --dvd-device=%f");
  EXPECT_EQ(choose(disks::kDvdPlayer, 3, disks::kDvdCommand),
            "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit dvd://%f");
  EXPECT_EQ(choose(disks::kBlurayPlayer, 3, disks::kBlurayCommand),
            "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit bluray://%f");
  EXPECT_EQ(choose(disks::kBlurayPlayer, 0, disks::kBlurayCommand), "%f");
  EXPECT_EQ(choose(disks::kBlurayPlayer, 1, disks::kBlurayCommand), "-play %f");
  EXPECT_EQ(choose(disks::kVideoPlayer, 2, disks::kVideoCommand), "--fs %f");
  EXPECT_EQ(choose(disks::kDivXAudio2Player, 2, disks::kDivXAudio2Command),
            "--fs --keep-open=no --aid=2 %f");
  EXPECT_EQ(choose(disks::kDivXAudio2Player, 1, disks::kDivXAudio2Command), "-play %f");
  EXPECT_EQ(choose(disks::kDivXPlayer, 2, disks::kDivXCommand), "--fs %f");
  // The other lists and edits stay as they were.
  EXPECT_EQ(view.controls[disks::kDvdPlayer].index, 3);
  EXPECT_EQ(view.controls[disks::kDvdCommand].text,
            "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit dvd://%f");

  ASSERT_TRUE(page.ReadControls());
  page.Store();
  EXPECT_EQ(f.settings.DvdPlayer, "VLC");
  EXPECT_EQ(f.settings.DvdCommandLine,
            "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit dvd://%f");
  EXPECT_EQ(f.settings.BlurayPlayer, "Mine");
  EXPECT_EQ(f.settings.BlurayCommandLine, "-play %f");
  EXPECT_EQ(f.settings.VideoPlayer, "mpv");
  EXPECT_EQ(f.settings.VideoCommandLine, "--fs %f");
  EXPECT_EQ(f.settings.DivXAudio2Player, "Mine");
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(f.registry));
  EXPECT_EQ(reloaded.BlurayPlayer, "Mine");
  EXPECT_EQ(reloaded.VideoCommandLine, "--fs %f");
}

TEST(CodecsPageRulesTest, TheFourSwitchesAreShownAndStored) {
  DeskFixture f;
  f.settings.FfdshowDivx = 1;
  RecordingPage view;
  desk::CodecsPageRules page(f.settings, f.View(), view);
  page.OnShow();
  EXPECT_TRUE(view.controls[res::codecs::kDivX4].checked);
  EXPECT_FALSE(view.controls[res::codecs::kXviD].checked);
  view.controls[res::codecs::kDivX4].checked = false;
  view.controls[res::codecs::kXviD].checked = true;
  ASSERT_TRUE(page.ReadControls());
  page.Store();
  EXPECT_EQ(f.settings.FfdshowDivx, 0);
  EXPECT_EQ(f.settings.FfdshowXvid, 1);
  EXPECT_EQ(f.settings.FfdshowDiv3, 0);
}

struct ViewPageFixture : DeskFixture {
  ViewPageFixture() {
    page.controls.AddRadioGroup({view::kMoviesHighlighted, view::kMoviesNormal});
    page.controls.AddRadioGroup({view::kChoicesHighlighted, view::kChoicesNormal});
  }
  // A click on a radio button of a list's pair.
  void Click(int radio, Area area) {
    page.controls.SetChecked(radio, true);
    rules->OnStateClicked(area);
  }
  testing::RecordingViewPage page;
  std::unique_ptr<desk::ViewPageRules> rules;
  desk::ViewPageRules& Open() {
    rules = std::make_unique<desk::ViewPageRules>(settings, View(), page, page);
    rules->OnShow();
    return *rules;
  }
};

TEST(ViewPageRulesTest, StateSelectorsChooseWhatThePreviewShowsAndWhatFgAndBgEdit) {
  ViewPageFixture f;
  const Theme before = f.settings.Theme;
  desk::ViewPageRules& page = f.Open();
  EXPECT_TRUE(f.page.controls[view::kMoviesHighlighted].checked);
  EXPECT_TRUE(f.page.controls[view::kChoicesHighlighted].checked);
  EXPECT_EQ(f.page.previews[Area::Movies].text, before.MoviesHighFg);
  EXPECT_EQ(f.page.previews[Area::Movies].background, before.MoviesHighBg);
  EXPECT_EQ(f.page.previews[Area::Choices].text, before.ChoiceHighFg);
  EXPECT_EQ(f.page.previews[Area::Label].text, before.LabelFg);
  EXPECT_EQ(f.page.previews[Area::Label].background, before.LabelBg);

  // "normal": the plain colours are shown and edited.
  f.Click(view::kMoviesNormal, Area::Movies);
  EXPECT_EQ(page.StateOf(Area::Movies), desk::ViewPageRules::kNormal);
  EXPECT_EQ(f.page.previews[Area::Movies].text, before.MoviesFg);
  f.page.colourAnswers = {Rgb(10, 20, 30)};
  page.ChooseBackground(Area::Movies);
  EXPECT_EQ(f.page.colourOffers.back(), before.MoviesBg);
  EXPECT_EQ(f.page.previews[Area::Movies].background, Rgb(10, 20, 30));
  f.Click(view::kMoviesHighlighted, Area::Movies);
  EXPECT_EQ(f.page.previews[Area::Movies].background, before.MoviesHighBg);
  // The choices' selector is its own.
  f.page.colourAnswers = {Rgb(1, 1, 1)};
  page.ChooseForeground(Area::Choices);
  EXPECT_EQ(page.WorkingCopy().Theme.ChoiceHighFg, Rgb(1, 1, 1));
  EXPECT_EQ(page.WorkingCopy().Theme.ChoiceFg, before.ChoiceFg);

  // A cancelled chooser changes nothing and draws nothing.
  const int draws = f.page.previews[Area::Label].draws;
  page.ChooseForeground(Area::Label);
  page.ChooseFont(Area::Label);
  EXPECT_EQ(page.WorkingCopy().Theme.LabelFg, before.LabelFg);
  EXPECT_EQ(f.page.previews[Area::Label].draws, draws);

  // OK stores the thirteen values: the plain movie background changed, the
  // highlighted one not.
  page.Store();
  EXPECT_EQ(f.settings.Theme.MoviesBg, Rgb(10, 20, 30));
  EXPECT_EQ(f.settings.Theme.MoviesHighBg, before.MoviesHighBg);
  EXPECT_EQ(f.settings.Theme.ChoiceHighFg, Rgb(1, 1, 1));
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(f.registry));
  EXPECT_EQ(reloaded.Theme.MoviesBg, Rgb(10, 20, 30));
}

TEST(ViewPageRulesTest, AListPreviewIsAsTallAsARowOfTheFullScreenListAsFarAsItHasRoom) {
  ViewPageFixture f;
  f.page.rooms[static_cast<int>(Area::Choices)] = 50;
  desk::ViewPageRules& page = f.Open();
  // The default font gives rows of 30 pixels: height 20, 5 above and 5 below. The label
  // keeps its height.
  EXPECT_EQ(f.page.previews[Area::Movies].height, 30);
  EXPECT_EQ(f.page.previews[Area::Choices].height, 30);
  EXPECT_EQ(f.page.previews[Area::Label].height, -1);

  // A 24-pixel font for the choices: 24 + 2 x 6, only that preview changes.
  FontDescription font = FontDescription::Default();
  font.height = -24;
  f.page.fontAnswers = {font};
  const int movieDraws = f.page.previews[Area::Movies].draws;
  page.ChooseFont(Area::Choices);
  EXPECT_EQ(f.page.fontOffers.back(), FontDescription::Default());
  EXPECT_EQ(f.page.previews[Area::Choices].font, font);
  EXPECT_EQ(f.page.previews[Area::Choices].height, 36);
  EXPECT_EQ(f.page.previews[Area::Movies].draws, movieDraws);

  // A font taller than the room: the preview takes the room less the gap above the
  // radio buttons; a font beyond the screen is drawn no higher than the screen.
  font.height = -200;
  f.page.fontAnswers = {font};
  page.ChooseFont(Area::Choices);
  EXPECT_EQ(f.page.previews[Area::Choices].height, 50 - desk::ViewPageRules::kPreviewGap);
  f.page.screenHeight = 100;
  font.height = -100000;
  f.page.rooms[static_cast<int>(Area::Movies)] = 1000;
  f.page.fontAnswers = {font};
  page.ChooseFont(Area::Movies);
  EXPECT_LE(f.page.previews[Area::Movies].height, 100);
  // No room at all still leaves one pixel.
  f.page.rooms[static_cast<int>(Area::Movies)] = 0;
  EXPECT_EQ(page.PreviewHeight(Area::Movies), 1);
}

}  // namespace
}  // namespace quorvel

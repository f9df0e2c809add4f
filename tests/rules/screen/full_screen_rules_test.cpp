// The full-screen window's rules without a display: the screen states after each read,
// change detection, the choices, the keys and commands, the poll timer's launcher
// closing and autoplay, the tray, and the layout on two screen sizes.

#include "rules/screen/full_screen_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/native_path.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "rules/screen/screen_fixture.h"

namespace quorvel {
namespace {

using screen::Focus;
using screen::Key;
using screen::KeyOutcome;
using testing::Medium;
using testing::MoviesDisk;
using testing::ScreenFixture;
using Strings = std::vector<std::string>;

const Strings kTwoChoices = {"Options", "Off"};
const Strings kThreeChoices = {"Play", "Options", "Off"};
const Strings kLanguageChoices = {"Play Lang. 1", "Play Lang. 2", "Options", "Off"};

bool StartedWith(const RecordingProcesses& processes, std::string_view part) {
  return !processes.started.empty() && processes.started.back().find(part) != std::string::npos;
}

// What the tray menu's item with `text` does, as the menu carries it.
screen::TrayCommand TrayItem(std::string_view text) {
  const res::MenuTemplate* menu = res::FindMenuTemplate(res::kTrayMenu);
  EXPECT_NE(menu, nullptr);
  if (menu == nullptr) return screen::TrayCommand::Open;
  for (const res::MenuItem& item : menu->items) {
    if (item.text != text) continue;
    EXPECT_EQ(res::FindMenuItem(*menu, item.command), &item);
    if (item.action) return *item.action;
  }
  ADD_FAILURE() << "no tray menu item " << text;
  return screen::TrayCommand::Open;
}

TEST(FullScreenRulesTest, EveryScreenStateFollowsTheRead) {
  ScreenFixture f;
  auto& rules = f.Start();
  // Before the first read: "No Disk" over "No Movies" and the three choices.
  ASSERT_GE(f.view.movieHistory.size(), 1u);
  EXPECT_EQ(f.view.movieHistory.front(), Strings{"No Movies"});
  EXPECT_EQ(f.view.choiceHistory.front(), kThreeChoices);
  // No disk (the read failed).
  EXPECT_EQ(f.view.label, "No Disk");
  EXPECT_TRUE(f.view.movies.empty());
  EXPECT_EQ(f.view.ChoiceTexts(), kTwoChoices);
  EXPECT_EQ(f.view.choiceSelection, 0);
  EXPECT_TRUE(f.view.shown) << "start mode 0 shows the window";
  EXPECT_TRUE(f.view.timerRunning);

  // A disk without movies.
  f.Insert({"NOTES", {{"readme.txt", "text"}}});
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "No Movies");
  EXPECT_TRUE(f.view.movies.empty());
  EXPECT_EQ(f.view.ChoiceTexts(), kTwoChoices);

  // One movie: its title, no "Play all movie files".
  f.Eject();
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "No Disk");
  f.Insert(MoviesDisk("ONE", 1));
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "ONE");
  EXPECT_EQ(f.view.MovieTexts(), Strings{"movie1"});
  EXPECT_EQ(f.view.movieSelection, 0);
  EXPECT_EQ(f.view.ChoiceTexts(), kThreeChoices);

  // Several movies: "Play all movie files" first and selected; each movie's choices.
  f.Eject();
  rules.OnTimer();
  f.Insert(MoviesDisk("THREE", 3, /*firstAudio=*/2));
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "THREE");
  EXPECT_EQ(f.view.MovieTexts(), (Strings{"Play all movie files", "movie1", "movie2", "movie3"}));
  EXPECT_EQ(f.view.movieSelection, 0);
  // The rows are texts; the rules know the movie of each.
  EXPECT_EQ(rules.MovieOfRow(0), nullptr);
  ASSERT_NE(rules.MovieOfRow(1), nullptr);
  EXPECT_EQ(rules.MovieOfRow(1)->Title(), "movie1");
  EXPECT_EQ(rules.MovieOfRow(4), nullptr);
  EXPECT_EQ(f.view.ChoiceTexts(), kThreeChoices);
  rules.OnMovieSelChange(1);
  EXPECT_EQ(f.view.ChoiceTexts(), kLanguageChoices);
  rules.OnMovieSelChange(2);
  EXPECT_EQ(f.view.ChoiceTexts(), kThreeChoices);
  EXPECT_EQ(f.view.choiceSelection, 0);

  // The same disk at the next poll changes nothing.
  const std::size_t shownLists = f.view.movieHistory.size();
  rules.OnTimer();
  EXPECT_EQ(f.view.movieHistory.size(), shownLists);
  EXPECT_EQ(f.view.ChoiceTexts(), kThreeChoices);
}

TEST(FullScreenRulesTest, ListsGrowAndShrinkWithTheirRows) {
  ScreenFixture f;
  f.Insert(MoviesDisk("ONE", 1));
  auto& rules = f.Start();
  const int row = rules.MovieRowHeight();
  EXPECT_EQ(row, 30) << "the default fonts give rows of 20 + 5 + 5 pixels";
  EXPECT_EQ(rules.ChoiceRowHeight(), 30);
  EXPECT_EQ(f.view.layout.movieList.Height(), row) << "one row: one row high";

  f.Eject();
  rules.OnTimer();
  f.Insert(MoviesDisk("TWO", 2, /*firstAudio=*/2));
  rules.OnTimer();
  EXPECT_EQ(f.view.layout.movieList.Height(), 2 * row) << "three rows: two rows high";

  // The choice list keeps its bottom edge; its top follows the number of choices.
  const int bottom = f.view.layout.choiceList.bottom;
  EXPECT_EQ(f.view.layout.choiceList.top, bottom - 3 * rules.ChoiceRowHeight());
  rules.OnMovieSelChange(1);  // two audio streams
  EXPECT_EQ(f.view.layout.choiceList.bottom, bottom);
  EXPECT_EQ(f.view.layout.choiceList.top, bottom - 4 * rules.ChoiceRowHeight());
  rules.OnMovieSelChange(2);  // one stream: the list shrinks from the bottom upwards
  EXPECT_EQ(f.view.layout.choiceList.bottom, bottom);
  EXPECT_EQ(f.view.layout.choiceList.top, bottom - 3 * rules.ChoiceRowHeight());
}

TEST(FullScreenRulesTest, TheTimerClosesLaunchersAndAutoplaysOnlyNewDisksInCdDvdDrives) {
  ScreenFixture f;
  f.settings.Autoplay = 1;
  f.settings.CloseLaunch = 1;
  const std::string first = f.Insert(MoviesDisk("FIRST", 2));
  auto& rules = f.Start();
  rules.OnTimer();
  EXPECT_TRUE(f.processes.started.empty()) << "the disk present at start-up is never played";

  // A launcher started from the disk is closed at every poll while the disk is in.
  f.processes.processes.push_back({7, "setup", "setup", JoinNativePath(first, "setup"), {70}});
  f.processes.processes.push_back({8, "mpv", "mpv", "/usr/bin/mpv", {80}});
  rules.OnTimer();
  EXPECT_EQ(f.processes.closeRequests, std::vector<WindowHandle>{70});
  f.processes.processes.push_back({9, "setup", "setup", JoinNativePath(first, "setup"), {90}});
  rules.OnTimer();
  EXPECT_EQ(f.processes.closeRequests, (std::vector<WindowHandle>{70, 90}));

  // A new disk seen by the timer: row 0 plays, "Play all movie files" for several movies.
  f.Eject();
  rules.OnTimer();
  EXPECT_TRUE(f.processes.started.empty());
  f.Insert(MoviesDisk("SECOND", 2));
  rules.OnTimer();
  ASSERT_EQ(f.processes.started.size(), 1u);
  EXPECT_TRUE(StartedWith(f.processes, "playlist.m3u8")) << f.processes.started.back();
  rules.OnTimer();
  EXPECT_EQ(f.processes.started.size(), 1u) << "the same disk again is no change";

  // A disk with one movie plays that movie.
  f.Eject();
  rules.OnTimer();
  f.Insert(MoviesDisk("THIRD", 1));
  rules.OnTimer();
  ASSERT_EQ(f.processes.started.size(), 2u);
  EXPECT_TRUE(StartedWith(f.processes, "movie1.avi")) << f.processes.started.back();

  // A hard disk is shown but neither played nor searched for launchers.
  f.Eject();
  rules.OnTimer();
  const std::string hard = f.Insert(MoviesDisk("HARD", 1), ScreenFixture::Drive::HardDisk);
  f.processes.processes.push_back({10, "setup", "setup", JoinNativePath(hard, "setup"), {100}});
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "HARD");
  EXPECT_EQ(f.processes.started.size(), 2u);
  EXPECT_EQ(f.processes.closeRequests.size(), 2u);

  // Without Autoplay a new disk is only shown.
  f.settings.Autoplay = 0;
  f.Eject();
  rules.OnTimer();
  f.Insert(MoviesDisk("FOURTH", 1));
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "FOURTH");
  EXPECT_EQ(f.processes.started.size(), 2u);
}

// A Matroska file's header with two audio tracks and a video track.
std::string TwoLanguagesMatroska() {
  auto element = [](std::string id, const std::string& payload) {
    std::string size = "\x01";
    for (int i = 6; i >= 0; --i) size += static_cast<char>((payload.size() >> (8 * i)) & 0xFF);
    return id + size + payload;
  };
  auto track = [&](char type) { return element("\xAE", element("\x83", std::string(1, type))); };
  return element("\x1A\x45\xDF\xA3", element("\x42\x82", "matroska")) +
         element("\x18\x53\x80\x67",
                 element("\x16\x54\xAE\x6B", track('\x01') + track('\x02') + track('\x02')));
}

TEST(FullScreenRulesTest, AStickWithMoviesIsShownInsteadOfTheDriveAndNeverPlayedByItself) {
  ScreenFixture f;
  f.settings.Autoplay = 1;
  f.settings.CloseLaunch = 1;
  f.settings.VideoPlayer = "Recorder";
  f.settings.VideoCommandLine = "%f";
  f.Insert(MoviesDisk("FILMS", 1));
  const std::string stick = f.tree.Folder("media/stick");
  f.tree.File("media/stick/two.mkv", TwoLanguagesMatroska());
  const std::string slot = JoinNativePath(f.tree.Path("usb"), "");
  f.fake.volumes.AddDrive(slot, kDriveRemovable);
  // No disk path: the first optical drive.
  screen::FullScreenRules rules(f.settings, f.Services(), f.view, "");
  rules.OnInitDialog(ScreenFixture::DesignLayout());
  EXPECT_EQ(f.view.label, "FILMS");
  EXPECT_EQ(rules.DiskPath(), f.fake.volumes.FindFirstCdDrive());

  // Plugged in: shown with its two languages, not played; its launchers are closed.
  f.fake.volumes.Insert(slot, "STICK", stick);
  f.processes.processes.push_back({7, "setup", "setup", JoinNativePath(stick, "setup"), {70}});
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "STICK");
  EXPECT_EQ(f.view.ChoiceTexts(), kLanguageChoices);
  EXPECT_TRUE(f.processes.started.empty()) << "a removable medium never plays by itself";
  EXPECT_EQ(f.processes.closeRequests, std::vector<WindowHandle>{70});
  rules.OnPlayLang2();
  ASSERT_EQ(f.processes.started.size(), 1u);
  EXPECT_TRUE(StartedWith(f.processes, "recorder2\" --aid=2 \"" + JoinNativePath(stick, "two.mkv")))
      << f.processes.started.back();
  rules.OnPlay();
  EXPECT_TRUE(StartedWith(f.processes, "recorder\" \"" + JoinNativePath(stick, "two.mkv")))
      << f.processes.started.back();
  // Eject still goes to the drive.
  rules.OnKey(Key::E, Focus::ChoiceList);
  EXPECT_EQ(f.Ejects().back().first, f.fake.volumes.FindFirstCdDrive());

  // Removed: the drive's disk again, which was in all along and is not played.
  f.Insert(MoviesDisk("FILMS", 1));
  f.fake.volumes.Remove(slot);
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "FILMS");
  EXPECT_EQ(f.processes.started.size(), 2u);
}

TEST(FullScreenRulesTest, KeysRunTheCommandsAndPWithoutMoviesDoesNothing) {
  ScreenFixture f;
  auto& rules = f.Start();
  // No movies: P does nothing, the other letters still work.
  EXPECT_EQ(rules.OnKey(Key::P, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_TRUE(f.processes.started.empty());
  EXPECT_TRUE(f.messages.messages.empty());
  EXPECT_EQ(rules.OnKey(Key::O, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(f.view.optionsRuns, 1);
  EXPECT_EQ(rules.OnKey(Key::E, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(rules.OnKey(Key::L, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(rules.OnKey(Key::Eject, Focus::ChoiceList), KeyOutcome::Handled);
  using Eject = std::pair<std::string, bool>;
  EXPECT_EQ(f.Ejects(),
            (std::vector<Eject>{
                {f.DevicePath(), true}, {f.DevicePath(), false}, {f.DevicePath(), true}}));
  EXPECT_EQ(rules.OnKey(Key::Other, Focus::ChoiceList), KeyOutcome::ListDefault);

  // P plays the movie list's selection with the first audio stream, whatever the
  // choice list shows; so do the remote's Play and Play/Pause.
  f.Insert(MoviesDisk("FILMS", 2, /*firstAudio=*/2));
  rules.OnTimer();
  rules.OnMovieSelChange(1);
  rules.OnChoiceSelChange(1);  // "Play Lang. 2"
  for (Key key : {Key::P, Key::MediaPlay, Key::MediaPlayPause}) {
    const std::size_t before = f.processes.started.size();
    EXPECT_EQ(rules.OnKey(key, Focus::ChoiceList), KeyOutcome::Handled);
    ASSERT_EQ(f.processes.started.size(), before + 1);
    EXPECT_EQ(f.processes.started.back().rfind("\"/opt/recorder\" ", 0), 0u)
        << f.processes.started.back();
    EXPECT_TRUE(StartedWith(f.processes, "movie1.avi"));
  }
  // Enter in the choice list runs the selected row: "Play Lang. 2" plays the second
  // audio stream's player; Enter in the movie list does nothing.
  rules.OnOk(Focus::ChoiceList);
  EXPECT_EQ(f.processes.started.back().rfind("\"/opt/recorder2\" ", 0), 0u);
  const std::size_t plays = f.processes.started.size();
  rules.OnOk(Focus::MovieList);
  EXPECT_EQ(f.processes.started.size(), plays);
  rules.OnChoiceSelChange(2);  // "Options"
  rules.OnOk(Focus::ChoiceList);
  EXPECT_EQ(f.view.optionsRuns, 2);
  // Stop does nothing and the list does not handle it either; Menu opens the options,
  // Back hides the window.
  EXPECT_EQ(rules.OnKey(Key::MediaStop, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(f.processes.started.size(), plays);
  EXPECT_EQ(rules.OnKey(Key::Menu, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(f.view.optionsRuns, 3);
  EXPECT_EQ(rules.OnKey(Key::Back, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_FALSE(f.view.shown);
  EXPECT_TRUE(f.view.trayIcon);
}

TEST(FullScreenRulesTest, EveryKeyReachesTheRulesAndTheViewDoesWhatIsLeft) {
  ScreenFixture f;
  auto& rules = f.Start();
  f.Insert(MoviesDisk("FILMS", 2));
  rules.OnTimer();
  // Left and Right move the focus between the lists, a notice or not; the list handles
  // its own keys; outside the lists only Enter and Escape act.
  EXPECT_EQ(rules.OnKey(Key::Left, Focus::MovieList), KeyOutcome::FocusNext);
  EXPECT_EQ(rules.OnKey(Key::Right, Focus::ChoiceList, true), KeyOutcome::FocusPrevious);
  EXPECT_EQ(rules.OnKey(Key::Other, Focus::MovieList), KeyOutcome::ListDefault);
  EXPECT_EQ(rules.OnKey(Key::Left, Focus::Elsewhere), KeyOutcome::ListDefault);
  EXPECT_EQ(rules.OnKey(Key::P, Focus::Elsewhere), KeyOutcome::ListDefault);
  EXPECT_TRUE(f.processes.started.empty());
  // Enter runs the choice list's selected row, and a click runs the row clicked.
  rules.OnMovieSelChange(1);
  EXPECT_EQ(rules.OnKey(Key::Enter, Focus::MovieList), KeyOutcome::Handled);
  EXPECT_TRUE(f.processes.started.empty());
  EXPECT_EQ(rules.OnKey(Key::Enter, Focus::ChoiceList), KeyOutcome::Handled);
  ASSERT_EQ(f.processes.started.size(), 1u);
  EXPECT_EQ(rules.OnKey(Key::Enter, Focus::ChoiceList, true), KeyOutcome::Handled);
  EXPECT_EQ(f.processes.started.size(), 1u);
  rules.OnChoiceActivated(1);  // "Options"
  EXPECT_EQ(f.view.optionsRuns, 1);
  rules.OnChoiceActivated(7);
  rules.OnChoiceActivated(-1);
  EXPECT_EQ(f.view.optionsRuns, 1);
  // Escape hides the window, from a list or elsewhere.
  EXPECT_EQ(rules.OnKey(Key::Escape, Focus::Elsewhere), KeyOutcome::Handled);
  EXPECT_FALSE(f.view.shown);
  rules.OnTrayClick();
  EXPECT_EQ(rules.OnKey(Key::Escape, Focus::MovieList), KeyOutcome::Handled);
  EXPECT_FALSE(f.view.shown);

  // A disk change does a tick's work while the poll runs, and nothing once it stopped.
  f.Insert(MoviesDisk("OTHER", 1));
  rules.OnDiskChange();
  EXPECT_EQ(f.view.label, "OTHER");
  EXPECT_TRUE(rules.Polling());
  rules.OnChoiceActivated(2);  // "Off"
  EXPECT_FALSE(rules.Polling());
  f.Eject();
  rules.OnDiskChange();
  EXPECT_EQ(f.view.label, "OTHER");
}

TEST(FullScreenRulesTest, OffAndExitPowerOffOnlyWithShutdownAndEnterElsewhereNever) {
  struct Case {
    const char* how;
    int shutdown;
    int powerOffs;
  };
  for (const Case& c :
       {Case{"Off", 1, 1}, Case{"Off", 0, 0}, Case{"Exit", 1, 1}, Case{"Exit", 0, 0},
        Case{"Q", 1, 1}, Case{"X", 0, 0}, Case{"Enter", 1, 0}}) {
    SCOPED_TRACE(std::string(c.how) + " Shutdown=" + std::to_string(c.shutdown));
    ScreenFixture f;
    f.settings.Shutdown = c.shutdown;
    auto& rules = f.Start();
    const std::string how = c.how;
    if (how == "Off") {
      rules.OnChoiceSelChange(1);  // "Options", "Off"
      rules.OnOk(Focus::ChoiceList);
    } else if (how == "Exit") {
      rules.OnTrayCommand(TrayItem("&Exit"));
    } else if (how == "Q") {
      rules.OnKey(Key::Q, Focus::ChoiceList);
    } else if (how == "X") {
      rules.OnKey(Key::X, Focus::ChoiceList);
    } else {
      rules.OnOk(Focus::Elsewhere);
    }
    EXPECT_EQ(f.view.destroyCalls, 1);
    EXPECT_EQ(f.system.powerOffCalls, c.powerOffs);
    EXPECT_FALSE(rules.HasCommands());
    EXPECT_FALSE(f.view.timerRunning);
    EXPECT_TRUE(f.view.choices.empty()) << "no row keeps a deleted command";
    // Nothing more happens once the window has ended.
    rules.OnTimer();
    rules.OnKey(Key::Q, Focus::ChoiceList);
    rules.OnTrayCommand(screen::TrayCommand::Exit);
    EXPECT_EQ(f.view.destroyCalls, 1);
    EXPECT_EQ(f.system.powerOffCalls, c.powerOffs);
  }
}

TEST(FullScreenRulesTest, ChangeDetectionSeesPresenceAndEmptyReadsButNotQuickSwaps) {
  ScreenFixture f;
  auto& rules = f.Start();
  // An unlabelled disk put into the empty drive is shown.
  f.Insert(MoviesDisk("", 1));
  rules.OnTimer();
  EXPECT_EQ(f.view.MovieTexts(), Strings{"movie1"});
  EXPECT_EQ(f.view.label, "");

  // A disk taken out and another with the same label put in: the poll that found the
  // drive empty makes the new disk a change.
  f.Eject();
  rules.OnTimer();
  f.Insert(MoviesDisk("FILMS", 1));
  rules.OnTimer();
  f.Eject();
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "No Disk");
  f.Insert(MoviesDisk("FILMS", 2));
  rules.OnTimer();
  EXPECT_EQ(f.view.MovieTexts(), (Strings{"Play all movie files", "movie1", "movie2"}));

  // Swapped for a disk with the same label between two polls: the same disk. The rows
  // still stand for the movies shown, and P plays the shown one.
  f.Insert(MoviesDisk("FILMS", 3));
  rules.OnTimer();
  EXPECT_EQ(f.view.MovieTexts(), (Strings{"Play all movie files", "movie1", "movie2"}));
  rules.OnMovieSelChange(2);
  rules.OnKey(Key::P, Focus::ChoiceList);
  EXPECT_TRUE(StartedWith(f.processes, JoinNativePath("disk3", "movie2.avi")))
      << f.processes.started.back();

  // The options sheet closed with OK applies the theme again and reads the disk forced.
  f.view.optionsAnswer = true;
  const int themes = f.view.themeApplied;
  rules.OnKey(Key::O, Focus::ChoiceList);
  EXPECT_EQ(f.view.themeApplied, themes + 1);
  EXPECT_EQ(f.view.MovieTexts(), (Strings{"Play all movie files", "movie1", "movie2", "movie3"}));
}

TEST(FullScreenRulesTest, TheTrayIconFollowsStartModeAndVisibility) {
  // Start mode 2 without a disk: hidden in the tray until a movie disk comes.
  {
    ScreenFixture f;
    f.settings.FullScreen = 2;
    auto& rules = f.Start();
    EXPECT_FALSE(f.view.shown);
    EXPECT_TRUE(f.view.trayIcon);
    f.Insert(MoviesDisk("FILMS", 1));
    rules.OnTimer();
    EXPECT_TRUE(f.view.shown);
    EXPECT_FALSE(f.view.trayIcon);
    // A tray host appearing puts the icon back beside the shown window in mode 2.
    rules.OnTaskbarCreated();
    EXPECT_TRUE(f.view.trayIcon);
    // Double click and "&Open Quorvel" show the window and take the icon away.
    rules.OnCancel();
    EXPECT_FALSE(f.view.shown);
    rules.OnTrayClick();
    EXPECT_TRUE(f.view.shown);
    EXPECT_FALSE(f.view.trayIcon);
    rules.OnCancel();
    rules.OnTrayCommand(TrayItem("&Open Quorvel"));
    EXPECT_TRUE(f.view.shown);
    rules.OnTrayCommand(TrayItem("&Configure"));
    EXPECT_EQ(f.view.optionsRuns, 1);
  }
  // Other modes: no icon for a shown window, but always one for a hidden window.
  for (int mode : {0, 1, 3}) {
    SCOPED_TRACE(mode);
    ScreenFixture f;
    f.settings.FullScreen = mode;
    auto& rules = f.Start();
    EXPECT_TRUE(f.view.shown);
    rules.OnTaskbarCreated();
    EXPECT_FALSE(f.view.trayIcon);
    rules.OnCancel();
    EXPECT_TRUE(f.view.trayIcon);
    f.view.trayIcon = false;  // the tray host went away with the icon
    rules.OnTaskbarCreated();
    EXPECT_TRUE(f.view.trayIcon);
  }
  // Without a tray host, hiding minimises: the window stays reachable.
  {
    ScreenFixture f;
    f.view.trayAvailable = false;
    f.settings.FullScreen = 2;
    f.Start();
    EXPECT_TRUE(f.view.minimised);
    f.Rules().OnCancel();
    EXPECT_TRUE(f.view.shown);
    EXPECT_TRUE(f.view.minimised);
  }
}

TEST(FullScreenRulesTest, AMinimisedWindowComesBackForANewMovieDisk) {
  // Start mode 2 on a desktop without a tray: minimised without a disk (and "shown", as a
  // minimised window reads); a movie disk brings it back, as it brings a hidden one.
  {
    ScreenFixture f;
    f.view.trayAvailable = false;
    f.settings.FullScreen = 2;
    auto& rules = f.Start();
    ASSERT_TRUE(f.view.minimised);
    ASSERT_TRUE(f.view.shown);
    f.Insert(MoviesDisk("FILMS", 1));
    rules.OnTimer();
    EXPECT_FALSE(f.view.minimised);
    EXPECT_EQ(f.view.window, f.view.screen) << "covering the screen again";
  }
  // Escape without a tray minimises; the next disk with movies brings the window back,
  // one without movies does not.
  {
    ScreenFixture f;
    f.view.trayAvailable = false;
    f.Insert(MoviesDisk("FIRST", 1));
    auto& rules = f.Start();
    rules.OnCancel();
    ASSERT_TRUE(f.view.minimised);
    f.Insert({"NOTES", {{"readme.txt", "text"}}});
    rules.OnTimer();
    EXPECT_TRUE(f.view.minimised);
    f.Insert(MoviesDisk("SECOND", 2));
    rules.OnTimer();
    EXPECT_FALSE(f.view.minimised);
    EXPECT_EQ(f.view.label, "SECOND");
    // A tray host that appears later gets the icon of a minimised window.
    rules.OnCancel();
    f.view.trayAvailable = true;
    rules.OnTaskbarCreated();
    EXPECT_TRUE(f.view.trayIcon);
  }
}

TEST(FullScreenRulesTest, AHeldKeyStartsOnePlayer) {
  ScreenFixture f;
  f.Insert(MoviesDisk("FILMS", 2));
  auto& rules = f.Start();
  // Holding Play for two seconds: one press, then the repeats of the held key.
  EXPECT_EQ(rules.OnKey(Key::MediaPlay, Focus::ChoiceList), KeyOutcome::Handled);
  for (int i = 0; i < 35; ++i)
    EXPECT_EQ(rules.OnKey(Key::MediaPlay, Focus::ChoiceList, true), KeyOutcome::Handled);
  EXPECT_EQ(f.processes.started.size(), 1u);
  for (int i = 0; i < 35; ++i) rules.OnKey(Key::P, Focus::ChoiceList, true);
  EXPECT_EQ(f.processes.started.size(), 1u);
  // Enter on "Play", held.
  rules.OnOk(Focus::ChoiceList);
  for (int i = 0; i < 35; ++i) rules.OnOk(Focus::ChoiceList, true);
  EXPECT_EQ(f.processes.started.size(), 2u);
  // Eject and load, held: one request each.
  rules.OnKey(Key::E, Focus::ChoiceList);
  rules.OnKey(Key::E, Focus::ChoiceList, true);
  rules.OnKey(Key::L, Focus::ChoiceList);
  rules.OnKey(Key::L, Focus::ChoiceList, true);
  EXPECT_EQ(f.Ejects().size(), 2u);
  // A held Escape hides once; a held Back too; a held arrow goes on moving.
  rules.OnCancel(true);
  EXPECT_TRUE(f.view.shown);
  EXPECT_EQ(rules.OnKey(Key::Other, Focus::ChoiceList, true), KeyOutcome::ListDefault);
  EXPECT_EQ(rules.OnKey(Key::Back, Focus::ChoiceList, true), KeyOutcome::Handled);
  EXPECT_TRUE(f.view.shown);
  rules.OnKey(Key::Q, Focus::ChoiceList, true);
  EXPECT_FALSE(rules.Ended());
}

TEST(FullScreenRulesTest, TheWindowTakesTheFocusBackOnlyWhenThePlayersItStartedHaveEnded) {
  ScreenFixture f;
  f.Insert(MoviesDisk("FILMS", 2));
  auto& rules = f.Start();
  const int coverings = f.view.coverings;
  rules.OnKey(Key::P, Focus::ChoiceList);
  ASSERT_EQ(f.processes.ProgramCount(), 1u);
  EXPECT_EQ(rules.RunningPlayers(), 1u);
  EXPECT_EQ(f.view.watchedPlayers.size(), 1u);
  const std::intptr_t first = *f.view.watchedPlayers.begin();

  // While it plays, the polls change nothing, and nothing raises the window.
  for (int tick = 0; tick < 3; ++tick) rules.OnTimer();
  rules.OnPlayerEnded(first);  // ready too soon: the player still runs
  EXPECT_EQ(rules.RunningPlayers(), 1u);
  EXPECT_EQ(f.view.focusTakes, 0);
  EXPECT_EQ(f.view.coverings, coverings);

  // Two players; the window comes back when the last has ended.
  rules.OnMovieSelChange(1);
  rules.OnKey(Key::P, Focus::ChoiceList);
  ASSERT_EQ(f.view.watchedPlayers.size(), 2u);
  f.processes.EndProgram(0);
  rules.OnPlayerEnded(first);
  EXPECT_EQ(f.view.focusTakes, 0);
  EXPECT_EQ(f.view.watchedPlayers.size(), 1u);
  const std::intptr_t second = *f.view.watchedPlayers.begin();
  f.processes.EndProgram(1);
  rules.OnPlayerEnded(second);
  EXPECT_EQ(f.view.focusTakes, 1);
  EXPECT_TRUE(f.view.watchedPlayers.empty());
  EXPECT_EQ(rules.RunningPlayers(), 0u);
  rules.OnPlayerEnded(second);  // once only
  EXPECT_EQ(f.view.focusTakes, 1);

  // A player that ends while the window is in the tray leaves it there.
  rules.OnKey(Key::P, Focus::ChoiceList);
  rules.OnCancel();
  ASSERT_FALSE(f.view.shown);
  f.processes.EndProgram(2);
  rules.OnPlayerEnded(*f.view.watchedPlayers.begin());
  EXPECT_FALSE(f.view.shown);
  EXPECT_EQ(f.view.focusTakes, 1);

  // From the tray: a movie disk that comes while a player runs shows the window only once
  // that player has ended, so the window never covers it.
  rules.OnTrayClick();
  rules.OnKey(Key::P, Focus::ChoiceList);
  rules.OnCancel();
  const int hidden = f.view.coverings;
  f.Insert(MoviesDisk("OTHER", 1));
  rules.OnTimer();
  EXPECT_EQ(f.view.label, "OTHER");
  EXPECT_FALSE(f.view.shown);
  EXPECT_EQ(f.view.coverings, hidden);
  f.processes.EndProgram(3);
  rules.OnPlayerEnded(*f.view.watchedPlayers.begin());
  EXPECT_TRUE(f.view.shown);
  EXPECT_EQ(f.view.coverings, hidden + 1);

  // The options sheet closed, with OK or not: the keyboard comes back as well.
  const int before = f.view.focusTakes;
  rules.OnKey(Key::O, Focus::ChoiceList);
  EXPECT_EQ(f.view.focusTakes, before + 1);

  // Where players cannot be watched, nothing is: the window stays as it is.
  f.processes.watchable = false;
  rules.OnKey(Key::P, Focus::ChoiceList);
  EXPECT_EQ(rules.RunningPlayers(), 0u);
  EXPECT_TRUE(f.view.watchedPlayers.empty());

  // Off while a player runs: the watch ends with the window, the player runs on.
  f.processes.watchable = true;
  rules.OnKey(Key::P, Focus::ChoiceList);
  EXPECT_EQ(f.view.watchedPlayers.size(), 1u);
  rules.OnKey(Key::Q, Focus::ChoiceList);
  EXPECT_TRUE(f.view.watchedPlayers.empty());
  EXPECT_EQ(rules.RunningPlayers(), 0u);
}

TEST(FullScreenRulesTest, WithoutAnyPlayerPlaySaysWhatToInstallOnTheScreen) {
  ScreenFixture f;
  f.settings = Settings();  // a new user: no player, nothing chosen
  f.Insert(MoviesDisk("FILMS", 2, /*firstAudio=*/2));
  auto& rules = f.Start();
  // The machine has no player either: P, the remote's Play and Enter on "Play" each show
  // the notice, and start nothing.
  rules.OnKey(Key::P, Focus::ChoiceList);
  EXPECT_TRUE(f.processes.started.empty());
  const std::string notice = rules.Notice();
  EXPECT_NE(notice.find("mpv or VLC"), std::string::npos) << notice;
  EXPECT_EQ(f.view.notice, notice);
  EXPECT_TRUE(f.messages.messages.empty()) << "no message box on a television";
  // While it shows, every other key waits; OK closes it, and nothing else happens.
  EXPECT_EQ(rules.OnKey(Key::Q, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_EQ(rules.OnKey(Key::Other, Focus::ChoiceList), KeyOutcome::Handled);
  EXPECT_FALSE(rules.Ended());
  rules.OnOk(Focus::ChoiceList, true);  // the repeat of the press that showed it
  EXPECT_FALSE(f.view.notice.empty());
  rules.OnOk(Focus::ChoiceList);
  EXPECT_TRUE(f.view.notice.empty());
  EXPECT_TRUE(f.processes.started.empty());
  // Enter on "Play" shows it again; Escape (Back on the remote) closes it without hiding
  // the window.
  rules.OnOk(Focus::ChoiceList);
  EXPECT_EQ(f.view.notice, notice);
  rules.OnCancel();
  EXPECT_TRUE(f.view.notice.empty());
  EXPECT_TRUE(f.view.shown);
  rules.OnKey(Key::MediaPlay, Focus::ChoiceList);
  rules.OnKey(Key::Back, Focus::ChoiceList);
  EXPECT_TRUE(f.view.notice.empty());
  EXPECT_TRUE(f.view.shown);

  // mpv installed meanwhile: the next Play finds it, sets it up and plays, the second
  // audio stream with its own command line.
  f.processes.programs["mpv"] = "/usr/bin/mpv";
  rules.OnMovieSelChange(1);
  rules.OnChoiceSelChange(1);  // "Play Lang. 2"
  rules.OnOk(Focus::ChoiceList);
  EXPECT_TRUE(f.view.notice.empty());
  ASSERT_EQ(f.processes.started.size(), 1u);
  EXPECT_TRUE(StartedWith(f.processes, "\"/usr/bin/mpv\" --fs --keep-open=no --aid=2 "))
      << f.processes.started.back();
  EXPECT_EQ(f.settings.DivXPlayer, "mpv");
  Settings stored;
  stored.Load(f.fake.registry);
  EXPECT_EQ(stored.Players, f.settings.Players);
  EXPECT_EQ(stored.DivXAudio2CommandLine, "--fs --keep-open=no --aid=2 %f");
}

// Template 129's rectangles in dialog units, turned into pixels here as the dialog
// builder does (each edge rounded on its own) and stretched to the screen by hand.
struct DuRect {
  int x, y, width, height;
};
constexpr DuRect kLabelDu{7, 7, 186, 17};
constexpr DuRect kMovieDu{7, 28, 186, 21};
constexpr DuRect kChoiceDu{147, 110, 46, 33};
constexpr int kCharWidth = 6;
constexpr int kCharHeight = 13;

int Round(int value, int units, int per) {
  return static_cast<int>(std::lround(static_cast<double>(value) * units / per));
}
int Left(const DuRect& r) { return Round(r.x, kCharWidth, 4); }
int Right(const DuRect& r) { return Round(r.x + r.width, kCharWidth, 4); }
int Top(const DuRect& r) { return Round(r.y, kCharHeight, 8); }
int Bottom(const DuRect& r) { return Round(r.y + r.height, kCharHeight, 8); }
int Scale(int edge, int to, int from) {
  return static_cast<int>(std::trunc(static_cast<double>(edge) * to / from));
}

TEST(FullScreenRulesTest, LayoutOnTwoScreensFromTheTemplatesDialogUnits) {
  std::ifstream cover(QUORVEL_SOURCE_DIR "/samples/demo-disk/cover.jpg", std::ios::binary);
  const std::string coverBytes((std::istreambuf_iterator<char>(cover)), {});
  ASSERT_FALSE(coverBytes.empty());
  constexpr int kCoverWidth = 600;
  constexpr int kCoverHeight = 800;
  Medium disk = MoviesDisk("FILMS", 2);
  disk.files.push_back({"cover.jpg", coverBytes});

  const int designWidth = Round(200, kCharWidth, 4);
  const int designHeight = Round(150, kCharHeight, 8);
  ASSERT_EQ(ScreenFixture::DesignLayout().label,
            (Rect{Left(kLabelDu), Top(kLabelDu), Right(kLabelDu), Bottom(kLabelDu)}));

  for (const Rect screen : {Rect{0, 0, 1280, 720}, Rect{0, 0, 1920, 1080}}) {
    SCOPED_TRACE(screen.Width());
    ScreenFixture f;
    f.view.screen = screen;
    f.Insert(disk);
    auto& rules = f.Start();
    const int w = screen.Width();
    const int h = screen.Height();
    const int row = 30;
    const auto& layout = f.view.layout;

    EXPECT_EQ(
        layout.label,
        (Rect{Scale(Left(kLabelDu), w, designWidth), Scale(Top(kLabelDu), h, designHeight),
              Scale(Right(kLabelDu), w, designWidth), Scale(Bottom(kLabelDu), h, designHeight)}));
    // The label spans 3.5 % to 96.5 % of the width and 4.7 % to 16 % of the height (the
    // pixels of the design size round each edge by up to half a pixel).
    EXPECT_NEAR(layout.label.left, 0.035 * w, 0.004 * w);
    EXPECT_NEAR(layout.label.right, 0.965 * w, 0.004 * w);
    EXPECT_NEAR(layout.label.top, 0.047 * h, 0.004 * h);
    EXPECT_NEAR(layout.label.bottom, 0.16 * h, 0.004 * h);
    // The movie list: three rows, two shown.
    const int movieTop = Scale(Top(kMovieDu), h, designHeight);
    EXPECT_EQ(layout.movieList, (Rect{Scale(Left(kMovieDu), w, designWidth), movieTop,
                                      Scale(Right(kMovieDu), w, designWidth), movieTop + 2 * row}));
    EXPECT_NEAR(layout.movieList.top, 0.187 * h, 0.004 * h);
    // The choice list: three choices up from the scaled bottom edge.
    const int choiceBottom = Scale(Bottom(kChoiceDu), h, designHeight);
    EXPECT_EQ(layout.choiceList,
              (Rect{Scale(Left(kChoiceDu), w, designWidth), choiceBottom - 3 * row,
                    Scale(Right(kChoiceDu), w, designWidth), choiceBottom}));
    EXPECT_NEAR(layout.choiceList.left, 0.735 * w, 0.004 * w);
    EXPECT_NEAR(layout.choiceList.bottom, 0.953 * h, 0.004 * h);

    // The cover: shrunk to fit the area 10 pixels inside the space left of the choices
    // and below the movie list, centred there.
    const int areaWidth = layout.choiceList.left - 20;
    const int areaHeight = h - layout.movieList.bottom - 20;
    const double s = std::min(static_cast<double>(areaWidth) / kCoverWidth,
                              static_cast<double>(areaHeight) / kCoverHeight);
    const int drawnWidth = s < 1.0 ? static_cast<int>(kCoverWidth * s) : kCoverWidth;
    const int drawnHeight = s < 1.0 ? static_cast<int>(kCoverHeight * s) : kCoverHeight;
    const int left = (areaWidth - drawnWidth) / 2 + 10;
    const int top = (areaHeight - drawnHeight) / 2 + layout.movieList.bottom + 10;
    EXPECT_EQ(f.view.picture, (Rect{left, top, left + drawnWidth, top + drawnHeight}));
    EXPECT_EQ(rules.PictureRect(), f.view.picture);
    // Decoded no smaller than it is drawn.
    EXPECT_GE(rules.Picture().PixelSize().width, drawnWidth);
    EXPECT_GE(rules.Picture().PixelSize().height, drawnHeight);
  }
}

TEST(FullScreenRulesTest, AFontHigherThanTheScreenKeepsTheScreenUsable) {
  ScreenFixture f;
  // Three bytes laid over the stored record: a height of 197121.
  const std::uint8_t shortValue[] = {0x01, 0x02, 0x03};
  f.settings.Theme.MoviesFont.OverwriteFrom(shortValue, sizeof shortValue);
  f.settings.Theme.ChoiceFont.OverwriteFrom(shortValue, sizeof shortValue);
  ASSERT_EQ(f.settings.Theme.MoviesFont.height, 197121);
  f.Insert(MoviesDisk("FILMS", 2));
  auto& rules = f.Start();
  EXPECT_EQ(rules.MovieRowHeight(), 720) << "drawn as high as the screen, no padding left";
  EXPECT_EQ(f.view.moviePadding, 0);
  const Rect client{0, 0, 1280, 720};
  for (const Rect& list : {f.view.layout.movieList, f.view.layout.choiceList}) {
    EXPECT_GE(list.top, client.top);
    EXPECT_LE(list.bottom, client.bottom);
    EXPECT_GT(list.Height(), 0);
  }
}

}  // namespace
}  // namespace quorvel

#pragma once
// The rules of the full-screen window, the television face of the program: what the
// label, the movie list, the choice list and the cover picture show after each read of
// the disk, when the screen changes, what the keys and the four commands do, what the
// poll timer does (launcher closing, autoplay), and where everything goes. No toolkit
// here: a view (screen_view.h) shows what these rules decide and reports input back.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disk/default_disk.h"
#include "disk/disk_info.h"
#include "picture/cover_picture.h"
#include "platform/services.h"
#include "resources/string_table.h"
#include "rules/screen/command.h"
#include "rules/screen/screen_keys.h"
#include "rules/screen/screen_layout.h"
#include "rules/screen/screen_view.h"

namespace quorvel {

class Settings;

namespace screen {

// How often the disk is read again.
inline constexpr std::chrono::milliseconds kPollInterval{5000};

// What change detection compares between two reads: whether a disk answered, and its
// label. Two disks with the same label count as the same disk, unless a read found the
// drive empty in between. A removable medium shown instead of the drive is another
// disk, whatever its label: its path is part of the key (empty for the drive).
struct DiskKey {
  bool present = false;
  std::string label;
  std::string path;
  bool operator==(const DiskKey&) const = default;
};

// Which control has the keyboard focus when Enter is pressed.
enum class Focus { ChoiceList, MovieList, Elsewhere };

// The tray menu's commands (menu 131), as its items carry them.
using TrayCommand = res::TrayCommand;

class FullScreenRules {
 public:
  // `diskPath`: the folder or drive to read; empty means the first CD/DVD drive, or a
  // removable medium with movies plugged in while the window runs (DefaultDisk).
  // `settings` and `services` must outlive the rules.
  FullScreenRules(Settings& settings, const Services& services, ScreenView& view,
                  std::string diskPath);
  ~FullScreenRules();
  FullScreenRules(const FullScreenRules&) = delete;
  FullScreenRules& operator=(const FullScreenRules&) = delete;

  // The window's initialisation, once its controls exist: `layout` holds the controls
  // as the template placed them in the window's current rectangle (its design size).
  // Creates the commands, applies the theme, fills the lists, reads the disk, shows or
  // hides the window and starts the poll timer.
  void OnInitDialog(const ScreenLayout& layout);

  // Reads the disk; rebuilds the screen when it changed or when `force` is set. True
  // when the screen was rebuilt.
  bool RefreshDisk(bool force);
  // The choices for the movie list's selection, row 0 selected.
  void RebuildChoices();
  void FitMovieList();
  void FitChoiceList();
  // Stretches the controls from the last window rectangle to `window`, then fits both
  // lists and places the picture again.
  void Relayout(const Rect& window);
  // Fonts, colours and row heights from the settings' theme.
  void ApplyTheme();
  // Shows the window covering its screen (the tray icon goes); HideToTray puts the icon
  // in the tray and hides the window, or minimises it where no tray takes the icon.
  // Hidden or minimised, the window is not on the screen.
  void ShowFull();
  void HideToTray();
  // Deletes the four commands and stops the poll timer. The choice rows that ran them
  // are removed with them, so no row is left to run a deleted command.
  void ReleaseCommands();

  // The commands of the choice rows.
  void OnPlay();
  void OnPlayLang2();
  void OnOptions();
  void OnOff();

  // Events.
  void OnTimer();
  // The system says a disk may have changed (a face calls this from its disk-change
  // events: Qt's notifiers on the services' sources, a window message or its own timer
  // on Windows): while the poll runs, the work of a tick is done now.
  void OnDiskChange();
  void OnSize(const Rect& window);
  void OnMovieSelChange(int row);
  void OnChoiceSelChange(int row);
  // Every key pressed on the window, Left, Right, Enter and Escape included, `focus` the
  // list that has the keyboard: carries out what the key table says and answers what is
  // left to the view. Outside the lists only the dialog's keys (Enter, Escape) act; a
  // notice on the screen takes every key but those that move the focus. `repeated`: a
  // repeat of a held key, which acts only where the key table says so.
  KeyOutcome OnKey(Key key, Focus focus, bool repeated = false);
  // The dialog's OK and Cancel (Enter and Escape, or the toolkit's own accept and
  // reject); a notice on the screen takes them.
  void OnOk(Focus focus, bool repeated = false);
  void OnCancel(bool repeated = false);
  // A click on choice row `row` runs its command at once.
  void OnChoiceActivated(int row);
  // A player the window started has ended: the view saw `endSignal` ready. Once no
  // player it started runs any more, the window shown on the screen takes the keyboard
  // focus back (or is shown now, when a disk with movies came while a player ran).
  void OnPlayerEnded(std::intptr_t endSignal);
  // The window is closed from outside (its system menu, the window manager): it ends
  // without powering off, as Enter outside the lists does.
  void OnClose();
  void OnTrayCommand(TrayCommand command);
  // The tray icon was clicked (or double-clicked): the window comes back.
  void OnTrayClick();
  // A tray host appeared (the taskbar was created again): the icon goes back in start
  // mode 2, and in every mode while the window is hidden.
  void OnTaskbarCreated();
  void OnDestroy();

  // What the screen shows.
  const std::string& Label() const { return label_; }
  const std::vector<MovieRow>& MovieRows() const { return movieRows_; }
  // The movie that movie row `row` stands for; null for "Play all movie files", "No
  // Movies" and a row that does not exist. Valid until the rows are shown again.
  const Movie* MovieOfRow(int row) const;
  int MovieSelection() const { return movieSelection_; }
  const std::vector<ChoiceRow>& ChoiceRows() const { return choiceRows_; }
  int ChoiceSelection() const { return choiceSelection_; }
  const ScreenLayout& Layout() const { return layout_; }
  const Rect& PictureRect() const { return pictureRect_; }
  const CoverPicture& Picture() const { return picture_; }
  const DiskInfo& Disk() const { return disk_; }
  // The drive (the disk path as set, or the first CD/DVD drive), and the path read
  // last: the drive, or a removable medium shown instead of it.
  const std::string& DiskPath() const { return diskPath_; }
  const std::string& ShownPath() const { return shownPath_; }
  // Height of every row of each list, as the theme's fonts give it.
  int MovieRowHeight() const { return movieRowHeight_; }
  int ChoiceRowHeight() const { return choiceRowHeight_; }
  bool HasCommands() const { return play_ != nullptr; }
  // Whether the poll timer runs.
  bool Polling() const { return polling_; }
  bool Ended() const { return ended_; }
  // The notice on the screen ("": none).
  const std::string& Notice() const { return notice_; }
  // How many players the window started that have not ended.
  std::size_t RunningPlayers() const { return players_.size(); }

 private:
  void CreateCommands();
  void ShowMovies();
  void ShowChoices();
  void PlacePicture();
  void Play(bool secondAudio);
  void Watch(const std::shared_ptr<StartedProgram>& player);
  void StopWatchingPlayers();
  void ShowNotice(std::string text);
  bool OnScreen() const;
  // Shows the window for a disk with movies, or, while a player runs, once it ended.
  void ShowForMovies();
  void EndWindow(bool powerOff);
  void SetChoices(std::vector<std::pair<int, CCommand*>> choices);
  static void RunCommand(CCommand* command);
  Rect Client() const;

  Settings& settings_;
  Services services_;
  ScreenView& view_;
  std::string diskPath_;
  DefaultDisk defaultDisk_;
  std::string shownPath_;
  DiskInfo disk_;
  CoverPicture picture_;
  std::string pictureFile_;    // the shown disk's picture, loaded once the window shows
  bool pictureTried_ = false;  // a load of pictureFile_ was tried
  DiskKey lastKey_;

  std::string label_;
  std::vector<Movie> shownMovies_;  // the movies the rows stand for
  std::vector<MovieRow> movieRows_;
  std::vector<const Movie*> rowMovies_;  // of each movie row: into shownMovies_, or null
  int movieSelection_ = -1;
  std::vector<ChoiceRow> choiceRows_;
  std::vector<CCommand*> rowCommands_;  // of each choice row: one of the four commands
  int choiceSelection_ = -1;

  Rect reference_;  // the window rectangle the controls were last scaled for
  ScreenLayout layout_;
  Rect pictureRect_;
  int screenHeight_ = 0;
  int movieRowHeight_ = 0;
  int choiceRowHeight_ = 0;

  std::unique_ptr<CCommand> play_;
  std::unique_ptr<CCommand> playLang2_;
  std::unique_ptr<CCommand> options_;
  std::unique_ptr<CCommand> off_;
  bool inTimer_ = false;
  bool polling_ = false;
  bool ended_ = false;
  std::string notice_;
  // The players this window started, until each has ended.
  std::vector<std::shared_ptr<StartedProgram>> players_;
  bool showWhenPlayersEnd_ = false;
};

// The start mode in which the tray icon comes back whenever a tray host appears.
inline constexpr std::int32_t kTrayIconStartMode = 2;

}  // namespace screen
}  // namespace quorvel

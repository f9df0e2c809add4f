#include "rules/screen/full_screen_rules.h"

#include <algorithm>
#include <utility>

#include "app/settings.h"
#include "disk/movie.h"
#include "platform/volumes.h"
#include "playback/first_start.h"
#include "playback/launchers.h"
#include "playback/player_choice.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "system/system_integration.h"

namespace quorvel::screen {
namespace {

std::string Text(int id) { return std::string(res::LoadString(id)); }

}  // namespace

FullScreenRules::FullScreenRules(Settings& settings, const Services& services, ScreenView& view,
                                 std::string diskPath)
    : settings_(settings),
      services_(services),
      view_(view),
      diskPath_(diskPath),
      defaultDisk_(std::move(diskPath)),
      picture_(services_.files, services_.messages),
      label_(Text(res::kStrNoDisk)) {}

FullScreenRules::~FullScreenRules() = default;

Rect FullScreenRules::Client() const { return {0, 0, reference_.Width(), reference_.Height()}; }

void FullScreenRules::CreateCommands() {
  play_ = std::make_unique<CDlgCommand<FullScreenRules>>(*this, &FullScreenRules::OnPlay);
  playLang2_ = std::make_unique<CDlgCommand<FullScreenRules>>(*this, &FullScreenRules::OnPlayLang2);
  options_ = std::make_unique<CDlgCommand<FullScreenRules>>(*this, &FullScreenRules::OnOptions);
  off_ = std::make_unique<CDlgCommand<FullScreenRules>>(*this, &FullScreenRules::OnOff);
}

void FullScreenRules::OnInitDialog(const ScreenLayout& layout) {
  CreateCommands();
  // The window still has the template's design size: the controls are scaled from it.
  reference_ = view_.WindowRect();
  layout_ = layout;
  ApplyTheme();

  SetChoices({{res::kStrPlay, play_.get()},
              {res::kStrOptions, options_.get()},
              {res::kStrOff, off_.get()}});
  choiceSelection_ = 0;
  ShowChoices();
  shownMovies_.clear();
  movieRows_ = {{Text(res::kStrNoMovies)}};
  rowMovies_ = {nullptr};
  movieSelection_ = 0;
  ShowMovies();

  RefreshDisk(true);
  diskPath_ = defaultDisk_.Drive();
  if (settings_.FullScreen == kTrayIconStartMode && !disk_.HasMovies()) {
    HideToTray();
  } else if (!view_.IsShown()) {
    ShowFull();
  }
  view_.StartTimer(kPollInterval);
  polling_ = true;
}

bool FullScreenRules::RefreshDisk(bool force) {
  shownPath_ = defaultDisk_.Current(settings_, services_.volumes, services_.files);
  disk_.ReadDisk(shownPath_, settings_, services_.volumes, services_.files);
  DiskKey key{disk_.IsPresent(), disk_.IsPresent() ? disk_.Label() : std::string(),
              defaultDisk_.ShowsRemovableMedium() ? shownPath_ : std::string()};
  // The key holds whether a disk answered, so an unlabelled disk put into an empty
  // drive is a change; and since every read stores its key, a read that found the drive
  // empty between two disks with one label makes the second one a change too.
  if (key == lastKey_ && !force) return false;
  lastKey_ = std::move(key);

  shownMovies_.clear();
  movieRows_.clear();
  rowMovies_.clear();
  movieSelection_ = -1;
  picture_.Clear();
  pictureFile_.clear();
  pictureTried_ = false;
  view_.Invalidate();

  if (disk_.IsPresent() && disk_.HasMovies()) {
    // The rows point at copies that live until the next rebuild, whatever the next
    // read does to the disk record.
    shownMovies_.reserve(disk_.MovieCount());
    for (DiskInfo::Position at = disk_.FirstMovie(); at != nullptr;) {
      shownMovies_.push_back(disk_.NextMovie(at));
    }
    if (shownMovies_.size() > 1) {
      movieRows_.push_back({Text(res::kStrPlayAll)});
      rowMovies_.push_back(nullptr);
    }
    for (const Movie& movie : shownMovies_) {
      movieRows_.push_back({movie.Title()});
      rowMovies_.push_back(&movie);
    }
    movieSelection_ = 0;
    ShowMovies();
    RebuildChoices();
    label_ = disk_.Label();
    view_.ShowLabel(label_);
    pictureFile_ = disk_.PicturePath();
    if (!OnScreen()) ShowForMovies();
    FitMovieList();
    PlacePicture();
    FitChoiceList();
    return true;
  }

  label_ = Text(disk_.IsPresent() ? res::kStrNoMovies : res::kStrNoDisk);
  view_.ShowLabel(label_);
  ShowMovies();
  RebuildChoices();
  PlacePicture();
  FitChoiceList();
  return true;
}

const Movie* FullScreenRules::MovieOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(rowMovies_.size())) return nullptr;
  return rowMovies_[static_cast<std::size_t>(row)];
}

void FullScreenRules::SetChoices(std::vector<std::pair<int, CCommand*>> choices) {
  choiceRows_.clear();
  rowCommands_.clear();
  for (const auto& [text, command] : choices) {
    choiceRows_.push_back({Text(text)});
    rowCommands_.push_back(command);
  }
}

void FullScreenRules::RebuildChoices() {
  std::vector<std::pair<int, CCommand*>> choices;
  if (HasCommands()) {
    if (movieSelection_ >= 0 && movieSelection_ < static_cast<int>(movieRows_.size())) {
      const Movie* movie = MovieOfRow(movieSelection_);
      if (movie != nullptr && movie->AudioStreams() >= 2) {
        choices.emplace_back(res::kStrPlayLang1, play_.get());
        choices.emplace_back(res::kStrPlayLang2, playLang2_.get());
      } else {
        choices.emplace_back(res::kStrPlay, play_.get());
      }
    }
    choices.emplace_back(res::kStrOptions, options_.get());
    choices.emplace_back(res::kStrOff, off_.get());
  }
  SetChoices(std::move(choices));
  choiceSelection_ = choiceRows_.empty() ? -1 : 0;
  ShowChoices();
}

void FullScreenRules::ShowMovies() { view_.ShowMovieRows(movieRows_, movieSelection_); }

void FullScreenRules::ShowChoices() { view_.ShowChoiceRows(choiceRows_, choiceSelection_); }

void FullScreenRules::FitMovieList() {
  const int rows = static_cast<int>(movieRows_.size());
  layout_.movieList =
      screen::FitMovieList(layout_.movieList, rows, rows > 0 ? movieRowHeight_ : 0, Client());
  view_.MoveControls(layout_);
}

void FullScreenRules::FitChoiceList() {
  const std::vector<int> heights(choiceRows_.size(), choiceRowHeight_);
  layout_.choiceList = screen::FitChoiceList(layout_.choiceList, heights, Client());
  view_.MoveControls(layout_);
}

void FullScreenRules::PlacePicture() {
  const Rect client = Client();
  // A picture is decoded only as large as it is drawn, so it waits until the window is
  // on the screen at its real size, and is decoded again when the window grows past it.
  if (!pictureFile_.empty() && view_.IsShown()) {
    const PictureSize area = CoverPicture::FreeArea(client, layout_.movieList, layout_.choiceList);
    const PictureSize drawn = CoverPicture::DrawnSize(picture_.Size(), area);
    const PictureSize held = picture_.PixelSize();
    const bool tooSmall = picture_.HasPicture() && held != picture_.Size() &&
                          (held.width < drawn.width || held.height < drawn.height);
    if (!pictureTried_ || tooSmall) {
      pictureTried_ = true;
      picture_.Load(pictureFile_, area);
    }
  }
  pictureRect_ = picture_.PlaceCoverPicture(client, layout_.movieList, layout_.choiceList);
  view_.ShowPicture(pictureRect_);
}

void FullScreenRules::Relayout(const Rect& window) {
  layout_ = screen::Relayout(layout_, reference_, window);
  reference_ = window;
  view_.MoveControls(layout_);
  FitMovieList();
  PlacePicture();
  FitChoiceList();
  view_.Invalidate();
}

void FullScreenRules::ApplyTheme() {
  const Theme& theme = settings_.Theme;
  screenHeight_ = view_.ScreenHeight();
  const int moviePadding = RowPadding(theme.MoviesFont.height, screenHeight_);
  const int choicePadding = RowPadding(theme.ChoiceFont.height, screenHeight_);
  const int movieText = DrawnFontHeight(theme.MoviesFont.height, screenHeight_);
  const int choiceText = DrawnFontHeight(theme.ChoiceFont.height, screenHeight_);
  movieRowHeight_ = RowHeight(ListTextHeight(movieText, movieText), moviePadding);
  choiceRowHeight_ = RowHeight(ListTextHeight(choiceText, choiceText), choicePadding);
  view_.ApplyTheme(theme, moviePadding, choicePadding);
  FitMovieList();
  PlacePicture();
}

void FullScreenRules::ShowFull() {
  view_.RemoveTrayIcon();
  view_.ShowCovering();
  Relayout(view_.CoveringRect());
}

bool FullScreenRules::OnScreen() const { return view_.IsShown() && !view_.IsMinimised(); }

void FullScreenRules::ShowForMovies() {
  // Shown now, the window would cover the player and take the keyboard from it.
  if (!players_.empty()) {
    showWhenPlayersEnd_ = true;
    return;
  }
  ShowFull();
}

void FullScreenRules::HideToTray() {
  // A hidden window without a tray icon could not be reached again.
  if (view_.AddTrayIcon()) {
    view_.HideWindow();
  } else {
    view_.MinimiseWindow();
  }
}

void FullScreenRules::ReleaseCommands() {
  SetChoices({});
  choiceSelection_ = -1;
  ShowChoices();
  play_.reset();
  playLang2_.reset();
  options_.reset();
  off_.reset();
  view_.StopTimer();
  polling_ = false;
}

void FullScreenRules::Play(bool secondAudio) {
  if (movieSelection_ < 0 || movieSelection_ >= static_cast<int>(movieRows_.size())) return;
  const Movie* movie = MovieOfRow(movieSelection_);
  if (movie != nullptr && movie->Type() == MovieType::Unknown) return;
  // No player at all: the machine is searched again, as at the first start (one may have
  // been installed since), and when it has none the screen says what to install.
  if (settings_.Players.empty() &&
      !SetUpPlayersOfNewUser(settings_, services_.registry, services_.processes)) {
    ShowNotice(Text(res::kStrNoPlayerNotice));
    return;
  }
  StartedPlayer started;
  if (movie == nullptr) {
    PlayAllMovies(services_, settings_, disk_, &started);
  } else if (secondAudio) {
    PlayMovieSecondAudio(services_, settings_, *movie, &started);
  } else {
    PlayMovie(services_, settings_, *movie, &started);
  }
  if (started) Watch(started);
}

void FullScreenRules::Watch(const std::shared_ptr<StartedProgram>& player) {
  players_.push_back(player);
  view_.WatchPlayer(player->EndSignal());
}

void FullScreenRules::StopWatchingPlayers() {
  for (const auto& player : players_) view_.StopWatchingPlayer(player->EndSignal());
  players_.clear();
  showWhenPlayersEnd_ = false;
}

void FullScreenRules::OnPlayerEnded(std::intptr_t endSignal) {
  const auto it = std::find_if(players_.begin(), players_.end(), [endSignal](const auto& player) {
    return player->EndSignal() == endSignal;
  });
  if (it == players_.end() || !(*it)->HasEnded()) return;
  view_.StopWatchingPlayer(endSignal);
  players_.erase(it);
  if (!players_.empty() || ended_) return;
  // The remote works on the window again: it is raised and has the keyboard, with or
  // without a window manager. A window hidden into the tray or minimised stays so.
  if (std::exchange(showWhenPlayersEnd_, false) && !OnScreen()) {
    ShowFull();
  } else if (OnScreen()) {
    view_.TakeFocus();
  }
}

void FullScreenRules::ShowNotice(std::string text) {
  notice_ = std::move(text);
  view_.ShowNotice(notice_);
}

void FullScreenRules::OnPlay() { Play(false); }

void FullScreenRules::OnPlayLang2() { Play(true); }

void FullScreenRules::OnOptions() {
  const bool ok = view_.RunOptionsSheet();
  if (ended_) return;
  // The sheet's window has gone: the remote works on this one again.
  if (OnScreen()) view_.TakeFocus();
  if (!ok) return;
  ApplyTheme();
  RefreshDisk(true);
}

void FullScreenRules::EndWindow(bool powerOff) {
  if (ended_) return;
  ended_ = true;
  StopWatchingPlayers();
  ReleaseCommands();
  view_.DestroyWindow();
  if (powerOff) PowerOffIfWanted(services_.system, settings_);
}

void FullScreenRules::OnOff() { EndWindow(true); }

void FullScreenRules::OnTimer() {
  // A message box shown during a tick runs its own event loop, which would deliver the
  // next tick into the middle of this one.
  if (inTimer_ || ended_) return;
  inTimer_ = true;
  // The drive's disk shown again after a removable medium went was in all along: it is
  // no disk put in, and is not played by itself.
  const bool wasRemovable = defaultDisk_.ShowsRemovableMedium();
  const bool changed = RefreshDisk(false);
  const bool movieDisk = disk_.HasMovies() && disk_.DriveType(services_.volumes) == kDriveCdRom;
  // A removable medium shown instead of the drive has its launchers closed as a disk in
  // the drive has, but it never plays by itself.
  const bool removable = disk_.HasMovies() && defaultDisk_.ShowsRemovableMedium();
  if ((movieDisk || removable) && settings_.CloseLaunch != 0) {
    CloseLaunchers(services_.processes, services_.volumes, shownPath_);
  }
  if (changed && movieDisk && !removable && !wasRemovable && settings_.Autoplay != 0) OnPlay();
  inTimer_ = false;
}

void FullScreenRules::OnDiskChange() {
  if (polling_) OnTimer();
}

void FullScreenRules::OnSize(const Rect& window) {
  if (ended_ || !HasCommands()) return;
  if (window.Width() == reference_.Width() && window.Height() == reference_.Height()) return;
  Relayout(window);
}

void FullScreenRules::OnMovieSelChange(int row) {
  movieSelection_ = row >= 0 && row < static_cast<int>(movieRows_.size()) ? row : -1;
  RebuildChoices();
  FitChoiceList();
}

void FullScreenRules::OnChoiceSelChange(int row) {
  choiceSelection_ = row >= 0 && row < static_cast<int>(choiceRows_.size()) ? row : -1;
}

void FullScreenRules::RunCommand(CCommand* command) {
  // The command may end the window: nothing of this object is used afterwards.
  if (command != nullptr && command->CanRun()) command->Run();
}

KeyOutcome FullScreenRules::OnKey(Key key, Focus focus, bool repeated) {
  const KeyAction action = ActionOf(key, repeated);
  switch (action) {
    case KeyAction::Ok:
      OnOk(focus);
      return KeyOutcome::Handled;
    case KeyAction::Cancel:
      OnCancel();
      return KeyOutcome::Handled;
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious:
      // Moving between the lists goes on under a notice: it changes nothing it covers.
      return focus == Focus::Elsewhere ? KeyOutcome::ListDefault : OutcomeOf(action);
    default:
      break;
  }
  // Outside the lists only the dialog's keys act, as in a dialog whose lists alone ask
  // the window about their keys.
  if (focus == Focus::Elsewhere) return KeyOutcome::ListDefault;
  // A notice takes every other key; Back (or Escape) closes it, as OK does.
  if (!notice_.empty()) return KeyOutcome::Handled;
  switch (action) {
    case KeyAction::Eject:
      services_.volumes.EjectMedia(diskPath_, true);
      break;
    case KeyAction::Load:
      services_.volumes.EjectMedia(diskPath_, false);
      break;
    case KeyAction::Options:
      RunCommand(options_.get());
      break;
    case KeyAction::Play:
      RunCommand(play_.get());
      break;
    case KeyAction::Off:
      RunCommand(off_.get());
      break;
    case KeyAction::ListDefault:
    case KeyAction::Ok:
    case KeyAction::Cancel:
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious:
    case KeyAction::Nothing:
      break;
  }
  return OutcomeOf(action);
}

void FullScreenRules::OnOk(Focus focus, bool repeated) {
  if (ActionOf(Key::Enter, repeated) == KeyAction::Nothing) return;
  if (!notice_.empty()) {
    ShowNotice({});
    return;
  }
  switch (focus) {
    case Focus::ChoiceList:
      OnChoiceActivated(choiceSelection_);
      return;
    case Focus::MovieList:
      return;  // the movie list has no activation
    case Focus::Elsewhere:
      EndWindow(false);
      return;
  }
}

void FullScreenRules::OnCancel(bool repeated) {
  if (ActionOf(Key::Escape, repeated) == KeyAction::Nothing || ended_) return;
  if (!notice_.empty()) {
    ShowNotice({});
    return;
  }
  HideToTray();
}

void FullScreenRules::OnChoiceActivated(int row) {
  if (row < 0 || row >= static_cast<int>(rowCommands_.size())) return;
  RunCommand(rowCommands_[static_cast<std::size_t>(row)]);
}

void FullScreenRules::OnClose() { EndWindow(false); }

void FullScreenRules::OnTrayCommand(TrayCommand command) {
  if (ended_) return;
  switch (command) {
    case TrayCommand::Open:
      ShowFull();
      return;
    case TrayCommand::Configure:
      OnOptions();
      return;
    case TrayCommand::Exit:
      OnOff();
      return;
  }
}

void FullScreenRules::OnTrayClick() {
  if (!ended_) ShowFull();
}

void FullScreenRules::OnTaskbarCreated() {
  if (ended_) return;
  if (settings_.FullScreen == kTrayIconStartMode || !OnScreen()) {
    view_.AddTrayIcon();
  }
}

void FullScreenRules::OnDestroy() {
  StopWatchingPlayers();
  view_.RemoveTrayIcon();
  if (HasCommands()) ReleaseCommands();
  ended_ = true;
}

}  // namespace quorvel::screen

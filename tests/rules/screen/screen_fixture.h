#pragma once
// The screen's rules over the fake services: a drive whose disks the test puts in,
// changes and takes away, processes and the system service recorded; and a view that
// keeps what the rules show instead of drawing it.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "platform/fake/fake_services.h"
#include "rules/screen/full_screen_rules.h"
#include "support/temp_tree.h"

namespace quorvel::testing {

// The view of the rules: everything they show, kept as data.
class RecordingView final : public screen::ScreenView {
 public:
  // The template's design size at the base units 6 x 13 (8-point "MS Sans Serif").
  Rect window{0, 0, 300, 244};
  Rect screen{0, 0, 1280, 720};
  // Shown, as the real window is also when minimised (its "shown" stays true then).
  bool shown = false;
  bool minimised = false;
  int coverings = 0;   // ShowCovering calls: each raises the window and activates it
  int focusTakes = 0;  // TakeFocus calls
  std::string notice;
  std::set<std::intptr_t> watchedPlayers;
  bool trayAvailable = true;
  bool trayIcon = false;
  int trayAdds = 0;
  bool optionsAnswer = false;
  int optionsRuns = 0;
  bool timerRunning = false;
  int destroyCalls = 0;
  std::string label = "No Disk";
  std::vector<screen::MovieRow> movies;
  int movieSelection = -1;
  std::vector<screen::ChoiceRow> choices;
  int choiceSelection = -1;
  screen::ScreenLayout layout;
  Rect picture;
  int themeApplied = 0;
  int moviePadding = 0;
  int choicePadding = 0;
  // Every list content shown, in order (off for long runs).
  bool keepHistory = true;
  std::vector<std::vector<std::string>> movieHistory;
  std::vector<std::vector<std::string>> choiceHistory;
  // Called when the options sheet runs, as if the user changed something in it.
  std::function<void()> onOptions;

  Rect WindowRect() const override { return window; }
  Rect CoveringRect() const override { return screen; }
  int ScreenHeight() const override { return screen.Height(); }
  bool IsShown() const override { return shown; }
  bool IsMinimised() const override { return minimised; }
  void ShowLabel(std::string_view text) override { label = text; }
  void ShowMovieRows(const std::vector<screen::MovieRow>& rows, int selected) override {
    movies = rows;
    movieSelection = selected;
    if (keepHistory) movieHistory.push_back(MovieTexts());
  }
  void ShowChoiceRows(const std::vector<screen::ChoiceRow>& rows, int selected) override {
    choices = rows;
    choiceSelection = selected;
    if (keepHistory) choiceHistory.push_back(ChoiceTexts());
  }
  void ApplyTheme(const Theme&, int movieRowPadding, int choiceRowPadding) override {
    ++themeApplied;
    moviePadding = movieRowPadding;
    choicePadding = choiceRowPadding;
  }
  void MoveControls(const screen::ScreenLayout& to) override { layout = to; }
  void ShowPicture(const Rect& rect) override { picture = rect; }
  void Invalidate() override {}
  void ShowNotice(std::string_view text) override { notice = text; }
  void ShowCovering() override {
    ++coverings;
    shown = true;
    minimised = false;
    window = screen;
  }
  void TakeFocus() override { ++focusTakes; }
  void HideWindow() override { shown = false; }
  // Minimised, the window is on the screen as an icon: shown, as the real one reads.
  void MinimiseWindow() override {
    shown = true;
    minimised = true;
  }
  bool AddTrayIcon() override {
    ++trayAdds;
    trayIcon = trayAvailable;
    return trayAvailable;
  }
  void RemoveTrayIcon() override { trayIcon = false; }
  bool RunOptionsSheet() override {
    ++optionsRuns;
    if (onOptions) onOptions();
    return optionsAnswer;
  }
  void StartTimer(std::chrono::milliseconds) override { timerRunning = true; }
  void StopTimer() override { timerRunning = false; }
  void WatchPlayer(std::intptr_t endSignal) override { watchedPlayers.insert(endSignal); }
  void StopWatchingPlayer(std::intptr_t endSignal) override { watchedPlayers.erase(endSignal); }
  void DestroyWindow() override {
    ++destroyCalls;
    shown = false;
  }

  std::vector<std::string> MovieTexts() const {
    std::vector<std::string> texts;
    for (const auto& row : movies) texts.push_back(row.text);
    return texts;
  }
  std::vector<std::string> ChoiceTexts() const {
    std::vector<std::string> texts;
    for (const auto& row : choices) texts.push_back(row.text);
    return texts;
  }
};

// The bytes of an AVI file as far as disk reading looks: the stream count (one video
// stream plus `audioStreams`) at offset 56.
inline std::string AviBytes(int audioStreams) {
  std::string bytes(64, '\0');
  bytes[56] = static_cast<char>(audioStreams + 1);
  return bytes;
}

// A medium: its files, by name.
struct Medium {
  std::string label;
  std::vector<std::pair<std::string, std::string>> files;  // name, bytes
};

// A disk with `count` DivX movies, "movie1.avi" ..., the first with `firstAudio` audio
// streams, the others with one.
inline Medium MoviesDisk(std::string label, int count, int firstAudio = 1) {
  Medium medium{std::move(label), {}};
  for (int i = 1; i <= count; ++i) {
    medium.files.push_back(
        {"movie" + std::to_string(i) + ".avi", AviBytes(i == 1 ? firstAudio : 1)});
  }
  return medium;
}

// The player every movie type uses: a recorded start.
inline void AddRecordedPlayer(Settings& settings) {
  settings.Players.emplace_back("Recorder", "/opt/recorder", "%f", PlaylistType::M3uPlaylist);
  settings.Players.emplace_back("Recorder2", "/opt/recorder2", "%f", PlaylistType::NoPlaylist);
  settings.DivXPlayer = "Recorder";
  settings.DivXCommandLine = "%f";
  settings.DivXAudio2Player = "Recorder2";
  settings.DivXAudio2CommandLine = "--aid=2 %f";
  settings.MpegPlayer = "Recorder";
  settings.MpegCommandLine = "%f";
}

// The rules over one optical drive at /dev/sr0 (fake volumes), empty at first, whose
// disks the test puts in, relabels and takes out between two reads. A disk's files are
// real files in a test folder, read by the platform's own files service (the cover
// picture is opened by path); processes, the system service and the messages are
// recorded.
class ScreenFixture {
 public:
  enum class Drive { CdDvd, HardDisk };

  ScreenFixture() {
    AddRecordedPlayer(settings);
    fake.volumes.AddDrive(kDrive, kDriveCdRom);
  }

  FakeServices fake;
  TempTree tree;
  Settings settings;
  RecordingView view;
  RecordingProcesses& processes = fake.processes;
  RecordingSystem& system = fake.system;
  RecordingMessages& messages = fake.messages;

  // The disk path: the optical drive.
  const std::string& DevicePath() const { return kDrive; }
  // What the drive's tray was asked: path, and true to open it.
  std::vector<std::pair<std::string, bool>> Ejects() const {
    std::vector<std::pair<std::string, bool>> ejects;
    for (const auto& request : fake.volumes.trayRequests) {
      ejects.emplace_back(request.path, request.eject);
    }
    return ejects;
  }

  // Builds the rules for `diskPath` (default: the drive), and runs the window's
  // initialisation.
  screen::FullScreenRules& Start(std::string diskPath = {}) {
    rules_ = std::make_unique<screen::FullScreenRules>(settings, Services(), view,
                                                       diskPath.empty() ? kDrive : diskPath);
    rules_->OnInitDialog(DesignLayout());
    return *rules_;
  }
  screen::FullScreenRules& Rules() { return *rules_; }
  void Stop() { rules_.reset(); }

  quorvel::Services Services() {
    return {platform_->services.files,
            fake.volumes,
            fake.processes,
            fake.system,
            fake.registry,
            fake.messages,
            fake.privateFiles,
            fake.diskEvents};
  }

  // The controls as template 129 places them at the base units 6 x 13.
  static screen::ScreenLayout DesignLayout() {
    return {{11, 11, 290, 39}, {11, 46, 290, 80}, {221, 179, 290, 232}};
  }

  // Puts `medium` into the drive: its files in a fresh folder, with its label. Returns
  // the folder.
  std::string Insert(const Medium& medium, Drive drive = Drive::CdDvd) {
    const std::string relative = "media/disk" + std::to_string(++media_);
    const std::string folder = tree.Folder(relative);
    for (const auto& [name, bytes] : medium.files) tree.File(relative + "/" + name, bytes);
    Reinsert(folder, medium.label, drive);
    return folder;
  }
  // Puts the medium whose files are in `folder` (from an earlier Insert) into the drive
  // again, under `label`; as a hard disk the drive reports the fixed-disk type.
  void Reinsert(const std::string& folder, const std::string& label, Drive drive = Drive::CdDvd) {
    fake.volumes.SetDriveType(kDrive, drive == Drive::CdDvd ? kDriveCdRom : kDriveFixed);
    fake.volumes.Insert(kDrive, label, folder);
  }
  // Takes the medium out: the drive is empty.
  void Eject() { fake.volumes.Remove(kDrive); }

  // Every player started so far ends, and the rules hear of it as from the view.
  void EndPlayers() {
    fake.processes.EndAndForgetPrograms();
    const std::set<std::intptr_t> watched = view.watchedPlayers;
    for (std::intptr_t signal : watched) rules_->OnPlayerEnded(signal);
  }

 private:
  inline static const std::string kDrive = "/dev/sr0";
  std::unique_ptr<PlatformServices> platform_ = CreatePlatformServices(fake.messages);
  int media_ = 0;
  std::unique_ptr<screen::FullScreenRules> rules_;
};

}  // namespace quorvel::testing

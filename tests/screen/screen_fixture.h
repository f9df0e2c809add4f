#pragma once
// The screen's rules on a machine described by files: an optical drive (or a hard disk)
// whose medium the test mounts, changes and takes away; real disk folders read by the
// real files and volumes backends; processes and the system service recorded; and a
// view that keeps what the rules show instead of drawing it.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "platform/files.h"
#include "playback/recording_processes.h"
#include "screen/full_screen_rules.h"
#include "support/fake_machine.h"
#include "support/recording_messages.h"
#include "support/recording_system.h"

namespace quorvel::testing {

// The view of the rules: everything they show, kept as data.
class RecordingView final : public screen::ScreenView {
 public:
  // The template's design size at the base units 6 x 13 (8-point "MS Sans Serif").
  Rect window{0, 0, 300, 244};
  Rect screen{0, 0, 1280, 720};
  bool shown = false;
  bool minimised = false;
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
  void ShowCovering() override {
    shown = true;
    minimised = false;
    window = screen;
  }
  void HideWindow() override { shown = false; }
  void MinimiseWindow() override { minimised = true; }
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

// Volumes that delegate to a real backend and record the tray requests.
class EjectRecordingVolumes final : public Volumes {
 public:
  explicit EjectRecordingVolumes(Volumes& real) : real_(real) {}
  std::string VolumeRoot(std::string_view path) override { return real_.VolumeRoot(path); }
  std::string DiskFolder(std::string_view path) override { return real_.DiskFolder(path); }
  std::optional<std::string> VolumeLabel(std::string_view root) override {
    return real_.VolumeLabel(root);
  }
  DriveTypeCode DriveType(std::string_view root) override { return real_.DriveType(root); }
  std::string FindFirstCdDrive() override { return real_.FindFirstCdDrive(); }
  bool EjectMedia(std::string_view path, bool eject) override {
    ejects.push_back({std::string(path), eject});
    return false;
  }
  std::vector<std::pair<std::string, bool>> ejects;

 private:
  Volumes& real_;
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

// The rules over a machine with one optical drive (sr0, device 11:0), empty at first.
class ScreenFixture {
 public:
  enum class Drive { CdDvd, HardDisk };

  ScreenFixture()
      : real_(machine_.Volumes()),
        volumes_(real_),
        files_(CreateSystemFiles()),
        devicePath_(machine_.Tree().Folder("dev") + "/sr0") {
    machine_.Tree().File("dev/sr0");
    AddRecordedPlayer(settings);
    Mount({});
  }

  Settings settings;
  RecordingView view;
  RecordingProcesses processes;
  RecordingSystem system;
  RecordingMessages messages;

  // The disk path: the optical drive's device.
  const std::string& DevicePath() const { return devicePath_; }
  EjectRecordingVolumes& Volumes() { return volumes_; }

  // Builds the rules for `diskPath` (default: the drive), and runs the window's
  // initialisation.
  screen::FullScreenRules& Start(std::string diskPath = {}) {
    rules_ = std::make_unique<screen::FullScreenRules>(Services(), view,
                                                       diskPath.empty() ? devicePath_ : diskPath);
    rules_->OnInitDialog(DesignLayout());
    return *rules_;
  }
  screen::FullScreenRules& Rules() { return *rules_; }
  void Stop() { rules_.reset(); }

  screen::ScreenServices Services() {
    return {settings,
            volumes_,
            *files_,
            processes,
            system,
            messages,
            playlistBase.empty() ? machine_.Tree().Path("playlist") : playlistBase};
  }
  // Where "play all" writes its playlist; empty: in the machine's folder.
  std::string playlistBase;

  // The controls as template 129 places them at the base units 6 x 13.
  static screen::ScreenLayout DesignLayout() {
    return {{11, 11, 290, 39}, {11, 46, 290, 80}, {221, 179, 290, 232}};
  }

  // Puts `medium` into the drive: its files in a fresh folder, mounted from the drive
  // (or from a hard disk's partition), with its label in udev's record.
  std::string Insert(const Medium& medium, Drive drive = Drive::CdDvd) {
    const std::string relative = "media/disk" + std::to_string(++media_);
    const std::string folder = machine_.Tree().Folder(relative);
    for (const auto& [name, bytes] : medium.files) {
      machine_.Tree().File(relative + "/" + name, bytes);
    }
    Reinsert(folder, medium.label, drive);
    return folder;
  }
  // Puts the medium whose files are in `folder` (from an earlier Insert) into the drive
  // again, under `label`.
  void Reinsert(const std::string& folder, const std::string& label, Drive drive = Drive::CdDvd) {
    const std::string devices = drive == Drive::CdDvd ? "11:0" : "8:1";
    machine_.Tree().File("udev/b" + devices,
                         "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=" + label + "\n");
    Mount(MountLine(100, devices, folder, "iso9660", devicePath_));
  }
  // Takes the medium out: nothing is mounted from the drive.
  void Eject() { Mount({}); }

  FakeMachine& Machine() { return machine_; }

 private:
  void Mount(const std::string& lines) {
    machine_.Mounts("26 1 0:99999 / / rw - ext4 /dev/vda rw\n" + lines);
  }

  FakeMachine machine_;
  LinuxVolumes real_;
  EjectRecordingVolumes volumes_;
  std::unique_ptr<Files> files_;
  std::string devicePath_;
  int media_ = 0;
  std::unique_ptr<screen::FullScreenRules> rules_;
};

}  // namespace quorvel::testing

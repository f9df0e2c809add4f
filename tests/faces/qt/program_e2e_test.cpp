// The real quorvel program on a real X server (Xvfb), driven with the mouse and the
// keyboard through xdotool: in start mode 0 the main dialog shows the disk given with
// "-p", a movie row and "&Play" start the player with the movie, and a player added in
// the options sheet and chosen for DivX movies plays the next one.
//
// Where to click is learned from the same dialog built in this process on Qt's offscreen
// platform: the same templates, fonts and style give the same geometry.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "disk_services.h"
#include "faces/qt/desktop/main_dlg.h"
#include "faces/qt/desktop/options_sheet.h"
#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
namespace fs = std::filesystem;
namespace ids = res::main_dlg;

constexpr auto kStartLimit = 20s;
constexpr auto kExitLimit = 10s;
const fs::path kDemoDisk =
    fs::path(QUORVEL_TEST_DATA).parent_path().parent_path() / "samples" / "demo-disk";

// Qt for this process, on the offscreen platform; the environment is left alone, since the
// program under test inherits it.
QApplication& OffscreenApp() {
  static int argc = 3;
  static char name[] = "gui_e2e_tests";
  static char platform[] = "-platform";
  static char offscreen[] = "offscreen";
  static char* argv[] = {name, platform, offscreen, nullptr};
  static QApplication app(argc, argv);
  return app;
}

// Waits until `path` exists (a recorder renames its record into place when done).
bool WaitForFile(const fs::path& path) {
  const auto end = std::chrono::steady_clock::now() + kStartLimit;
  while (!fs::exists(path) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(50ms);
  }
  return fs::exists(path);
}

class ProgramE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OffscreenApp();
    // A display number nobody uses: its lock file is missing, and Xvfb keeps running.
    for (int number = 100 + getpid() % 300; number < 1000 && !xvfb_; number += 7) {
      if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      display_ = ":" + std::to_string(number);
      xvfb_.emplace(std::vector<std::string>{"/usr/bin/Xvfb", display_, "-nolisten", "tcp",
                                             "-noreset", "-screen", "0", "1024x768x24"},
                    std::vector<std::string>{});
      const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
      const auto end = std::chrono::steady_clock::now() + kStartLimit;
      while (!fs::exists(socket) && !xvfb_->WaitExit(0ms) &&
             std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
      }
      if (!fs::exists(socket)) xvfb_.reset();
    }
    ASSERT_TRUE(xvfb_) << "Xvfb did not start (package xvfb)";
    disk_ = dir_.path() / "disk";
    fs::copy(kDemoDisk, disk_);
  }
  void TearDown() override { xvfb_.reset(); }

  std::vector<std::string> Env() const {
    return {"DISPLAY=" + display_, "XDG_CONFIG_HOME=" + dir_.path().string(),
            "XDG_RUNTIME_DIR=" + dir_.path().string(), "QT_QPA_PLATFORM=xcb"};
  }
  fs::path Store() const { return dir_.path() / "quorvel" / "registry.reg"; }

  // A player program that writes its arguments, one a line, to `record`.
  fs::path Recorder(const std::string& name, const fs::path& record) {
    const fs::path program = dir_.path() / name;
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record.string()
                           << ".part' && mv '" << record.string() << ".part' '" << record.string()
                           << "'\n";
    ::chmod(program.c_str(), 0755);
    return program;
  }

  // Runs xdotool and returns the first line it prints.
  std::string XdoTool(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/timeout", "20", "/usr/bin/xdotool"});
    ChildProcess tool(args, {"DISPLAY=" + display_}, true);
    std::string line = tool.ReadLine();
    tool.WaitExit(kExitLimit);
    return line;
  }
  std::string WaitForWindow(const std::string& title) {
    return XdoTool({"search", "--sync", "--name", "^" + title + "$"});
  }
  void Keys(const std::string& window, const std::vector<std::string>& keys) {
    XdoTool({"windowfocus", "--sync", window});
    std::vector<std::string> press = {"key", "--delay", "80"};
    press.insert(press.end(), keys.begin(), keys.end());
    XdoTool(press);
  }
  void Type(const std::string& text) { XdoTool({"type", "--delay", "20", "--", text}); }
  void Click(const std::string& window, QPoint at) {
    XdoTool({"mousemove", "--sync", "--window", window, std::to_string(at.x()),
             std::to_string(at.y())});
    XdoTool({"click", "1"});
  }

  // Where the main dialog on this disk shows `row` and the "&Play" button, in its
  // client coordinates.
  std::pair<QPoint, QPoint> MainDialogPoints(int row) {
    Settings settings;
    DiskServices services;
    CMainDlg dialog(settings, services.View(), nullptr, disk_.string());
    dialog.show();
    QTableWidget* list = dialog.FieldList();
    const QPoint cell = list->visualItemRect(list->item(row, 1)).center();
    return {list->viewport()->mapTo(&dialog, cell),
            FindControl(dialog, ids::kPlay)->geometry().center()};
  }

  // Where the options sheet shows the tabs of the Players and Disks pages, the Add button
  // and the DivX player list, in its client coordinates.
  struct SheetPoints {
    QPoint playersTab;
    QPoint disksTab;
    QPoint add;
    QPoint divxPlayer;
  };
  SheetPoints OptionsSheetPoints() {
    Settings settings;
    FakeServices services;
    COptionsSheet sheet(nullptr, settings, services.View());
    sheet.show();
    QTabBar* bar = sheet.Tabs()->tabBar();
    SheetPoints points;
    points.playersTab = bar->mapTo(&sheet, bar->tabRect(3).center());
    points.disksTab = bar->mapTo(&sheet, bar->tabRect(2).center());
    sheet.Tabs()->setCurrentIndex(3);
    const QWidget* add = FindControl(*sheet.Pages()[3], res::players::kAdd);
    points.add = add->mapTo(&sheet, add->rect().center());
    sheet.Tabs()->setCurrentIndex(2);
    const QWidget* divx = FindControl(*sheet.Pages()[2], res::disks::kDivXPlayer);
    points.divxPlayer = divx->mapTo(&sheet, divx->rect().center());
    return points;
  }

  testing::TempDir dir_;
  fs::path disk_;
  std::string display_;
  std::optional<ChildProcess> xvfb_;
};

TEST_F(ProgramE2eTest, TheMainDialogPlaysTheClickedMovieAndAPlayerAddedInTheOptions) {
  const fs::path first = dir_.path() / "first.txt";
  const fs::path second = dir_.path() / "second.txt";
  const fs::path recorder = Recorder("recorder", first);
  const fs::path added = Recorder("added-player", second);
  fs::create_directories(Store().parent_path());
  std::ofstream(Store()) << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel]\n"
                         << "\"FullScreen\"=dword:00000000\n"
                         << "\"DivX Player\"=\"Recorder\"\n"
                         << "\"DivX Command Line\"=\"--fs %f\"\n\n"
                         << "[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel\\Players\\Recorder]\n"
                         << "\"AppPath\"=\"" << recorder.string() << "\"\n"
                         << "\"CmdLine\"=\"--fs %f\"\n"
                         << "\"Playlist\"=dword:ffffffff\n";

  ChildProcess program({QUORVEL_BINARY_DIR "/quorvel/quorvel", "-p", disk_.string()}, Env());
  const std::string window = WaitForWindow("Quorvel");
  ASSERT_FALSE(window.empty()) << "the main dialog did not appear";
  const auto [secondMovie, play] = MainDialogPoints(3);  // "Colour Bars"
  Click(window, secondMovie);
  Click(window, play);
  ASSERT_TRUE(WaitForFile(first)) << "the player was not started";
  EXPECT_EQ(testing::ReadFileBytes(first), "--fs\n" + (disk_ / "colour-bars.avi").string() + "\n");

  // "&Options", the Players tab, Add: a player named "Second"; OK. Then the options again,
  // the Disks tab, where the DivX list has it last; OK.
  Keys(window, {"alt+o"});
  const std::string sheet = WaitForWindow("Quorvel Options");
  ASSERT_FALSE(sheet.empty()) << "the options sheet did not appear";
  const SheetPoints points = OptionsSheetPoints();
  Click(sheet, points.playersTab);
  Click(sheet, points.add);
  const std::string info = WaitForWindow("Add Player");
  ASSERT_FALSE(info.empty()) << "the Player Info dialog did not appear";
  Keys(info, {"ctrl+a"});
  Type("Second");
  Keys(info, {"Tab"});
  Type(added.string());
  Keys(info, {"Tab", "Tab", "ctrl+a"});
  Type("--second %f");
  Keys(info, {"Return"});
  // Players added while the sheet is open reach the Disks page at its next opening.
  Keys(sheet, {"Return"});
  Keys(window, {"alt+o"});
  const std::string again = WaitForWindow("Quorvel Options");
  ASSERT_FALSE(again.empty()) << "the options sheet did not appear again";
  Click(again, points.disksTab);
  Click(again, points.divxPlayer);  // opens the list
  Keys(again, {"End", "Return", "Return"});
  ASSERT_EQ(program.WaitExit(1s), std::nullopt) << "the program ended";

  // The sheet closed with OK: the disk was read again; the next movie plays with the new
  // player and the command line the Disks page took from it.
  const auto [thirdMovie, playAgain] = MainDialogPoints(4);  // "Two Languages"
  Click(window, thirdMovie);
  Click(window, playAgain);
  ASSERT_TRUE(WaitForFile(second)) << "the added player was not started";
  EXPECT_EQ(testing::ReadFileBytes(second),
            "--second\n" + (disk_ / "two-languages.avi").string() + "\n");
  const std::string store = testing::ReadFileBytes(Store());
  EXPECT_NE(store.find("\"DivX Player\"=\"Second\""), std::string::npos) << store;

  // Escape closes the dialog, and the program ends.
  Keys(window, {"Escape"});
  EXPECT_EQ(program.WaitExit(kExitLimit), 0);
}

}  // namespace
}  // namespace quorvel

// The tray icon on a D-Bus status icon host (a StatusNotifierWatcher, as the panels of
// today's desktops run it), on a real X server and a private session bus: Escape puts the
// icon there, and a click on it, which such a host reports as one activation and never
// as a double click, brings the window back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "rules/screen/screen_fixture.h"
#include "support/child_process.h"
#include "support/xvfb.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::MoviesDisk;
using testing::ScreenFixture;

constexpr int kWaitMs = 20000;
std::string gLog;  // the watcher's log of calls

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The bus name the icon registered with the watcher, from the watcher's log; "" until it
// did.
std::string RegisteredItem() {
  const std::string log = ReadText(gLog);
  const std::string call = "RegisterStatusNotifierItem \"";
  const std::size_t at = log.rfind(call);
  if (at == std::string::npos) return "";
  const std::size_t start = at + call.size();
  const std::size_t end = log.find('"', start);
  return end == std::string::npos ? "" : log.substr(start, end - start);
}

TEST(StatusIconTest, AClickOnTheIconBringsTheWindowBack) {
  ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable()) << "the watcher is a tray host";
  ScreenFixture f;
  f.settings.FullScreen = 1;
  f.Insert(MoviesDisk("FILMS", 1));
  auto* window = new CFullScreenDlg(f.settings, f.Services(), {}, nullptr, nullptr, f.DevicePath());
  window->Create();
  ASSERT_TRUE(window->isVisible());

  QTest::keyClick(&window->ChoiceList(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([] { return !RegisteredItem().empty(); }, kWaitMs))
      << "the icon did not register with the host:\n"
      << ReadText(gLog);
  // The host's click: the item's Activate, as the panel calls it.
  const std::string item = RegisteredItem();
  ChildProcess click(
      {"/usr/bin/dbus-send", "--session", "--type=method_call", "--dest=" + item,
       "/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", "int32:10", "int32:10"},
      {});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs))
      << "a click did not bring the window back";
  EXPECT_FALSE(window->isMinimized());
  EXPECT_FALSE(window->Tray().IsShown());
  delete window;
}

}  // namespace
}  // namespace quorvel

// A real X server and a session bus of the test's own, with the status icon host on it,
// before the toolkit starts: it decides once which kind of tray it uses.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--gtest_list_tests") {
      ::testing::InitGoogleTest(&argc, argv);
      return RUN_ALL_TESTS();
    }
  }
  namespace fs = std::filesystem;
  using namespace std::chrono_literals;
  quorvel::testing::Xvfb xvfb;
  if (!xvfb.Running()) {
    std::fprintf(stderr, "Xvfb did not start (package xvfb)\n");
    return 1;
  }
  const fs::path dir =
      fs::temp_directory_path() / ("quorvel-status-icon-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string address = "unix:path=" + (dir / "bus").string();
  quorvel::gLog = (dir / "watcher.log").string();
  int status = 1;
  {
    quorvel::testing::ChildProcess bus(
        {"/usr/bin/dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf",
         "--address=" + address, "--nofork", "--nopidfile"},
        {});
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    quorvel::testing::ChildProcess watcher(
        {"/usr/bin/python3", "-m", "dbusmock", "--session", "-l", quorvel::gLog, "-t",
         std::string(QUORVEL_TEST_DATA) + "/dbusmock/status_notifier_watcher.py"},
        {});
    bool ready = false;
    for (int i = 0; i < 200 && !ready; ++i) {
      ready = std::system(
                  "dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher"
                  " /StatusNotifierWatcher org.freedesktop.DBus.Peer.Ping"
                  " >/dev/null 2>&1") == 0;
      if (!ready) std::this_thread::sleep_for(100ms);
    }
    if (!ready) {
      std::fprintf(stderr, "the status icon host did not come up (package python3-dbusmock)\n");
    } else {
      setenv("DISPLAY", xvfb.Display().c_str(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      QApplication app(argc, argv);
      QApplication::setQuitOnLastWindowClosed(false);
      ::testing::InitGoogleTest(&argc, argv);
      status = RUN_ALL_TESTS();
    }
  }
  fs::remove_all(dir);
  return status;
}

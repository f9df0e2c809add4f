// The keyboard focus around a real player on a real X server without a window manager,
// as in the "Quorvel" session without one: mpv takes the focus while it plays, and once
// it has ended by itself the television window has it again, so that the remote's next
// key works.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "rules/screen/screen_fixture.h"
#include "support/child_process.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::ScreenFixture;

constexpr int kWaitMs = 20000;

// The window that has the keyboard focus, as the X server says.
xcb_window_t FocusedWindow() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  xcb_get_input_focus_reply_t* reply =
      xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
  const xcb_window_t focus = reply != nullptr ? reply->focus : xcb_window_t{XCB_WINDOW_NONE};
  std::free(reply);
  xcb_disconnect(connection);
  return focus;
}

// Presses `key` through the X server, as a keyboard or a remote does.
void Press(const std::string& key) {
  ChildProcess tool({"/usr/bin/timeout", "20", "/usr/bin/xdotool", "key", key}, {});
  EXPECT_EQ(tool.WaitExit(20s), 0);
}

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PlayerFocusTest, WithoutAWindowManagerTheWindowHasTheKeyboardAgainWhenMpvEnds) {
  ScreenFixture f;
  const std::string movie = FileBytes(QUORVEL_SOURCE_DIR "/samples/demo-disk/colour-bars.avi");
  ASSERT_FALSE(movie.empty());
  f.Insert({"FILMS", {{"first.avi", movie}, {"second.avi", movie}}});
  // mpv as the new user gets it, with no sound device to ask for.
  f.settings.Players = {{"mpv", "/usr/bin/mpv", "", PlaylistType::M3uPlaylist}};
  f.settings.DivXPlayer = "mpv";
  f.settings.DivXCommandLine = "--fs --keep-open=no --no-config --ao=null %f";
  // The platform's own processes service, every other service a fake.
  RecordingMessages messages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  Services services = f.Services();
  const Services real{services.files,        services.volumes,   platform->services.processes,
                      services.system,       services.registry,  services.messages,
                      services.privateFiles, services.diskEvents};
  auto* window = new CFullScreenDlg(
      f.settings, real, [](QWidget&) { return false; }, nullptr, &platform->windowFocus,
      f.DevicePath());
  window->Create();
  const auto id = static_cast<xcb_window_t>(window->winId());
  ASSERT_TRUE(QTest::qWaitFor([&] { return FocusedWindow() == id; }, kWaitMs))
      << "the window has the keyboard when it opens";

  // Left, Down to the first movie, P: mpv plays it and has the keyboard meanwhile.
  Press("Left");
  Press("Down");
  Press("p");
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Rules().RunningPlayers() == 1; }, kWaitMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return FocusedWindow() != id; }, kWaitMs))
      << "mpv never took the keyboard";
  // mpv ends by itself: the window has the keyboard again, and nobody touched it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->Rules().RunningPlayers() == 0; }, kWaitMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return FocusedWindow() == id; }, kWaitMs))
      << "the window did not get the keyboard back";
  // The next keys work: Down to the second movie, and P plays it.
  Press("Down");
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->MovieList().CurSel() == 2; }, kWaitMs));
  Press("p");
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->Rules().RunningPlayers() == 1; }, kWaitMs));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_TRUE(f.messages.messages.empty());
  delete window;
}

}  // namespace
}  // namespace quorvel

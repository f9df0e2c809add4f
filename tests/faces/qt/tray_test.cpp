// The tray icon on a real X server (Xvfb) with a real XEmbed tray host (trayer): Escape
// puts the icon into the tray, a click or a double click brings the window back, a tray host that
// restarts gets the icon again where the rules want it, and without a host Escape
// minimises.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "faces/qt/fullscreen/tray_host_watcher.h"
#include "faces/qt/resources/menu_builder.h"
#include "platform/fake/recording_messages.h"
#include "platform/services.h"
#include "resources/resource_ids.h"
#include "rules/screen/screen_fixture.h"
#include "support/child_process.h"
#include "support/xvfb.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::MoviesDisk;
using testing::ScreenFixture;

constexpr int kWaitMs = 10000;

// Asks the X server things the toolkit does not tell: who owns the tray selection, and
// where a window sits in the window tree.
class XServer {
 public:
  XServer() : connection_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr);
    selection_ = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
  }
  ~XServer() { xcb_disconnect(connection_); }

  bool TrayOwned() {
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, selection_), nullptr);
    const bool owned = reply != nullptr && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
  }

  // The parent of `window`, or none.
  xcb_window_t Parent(xcb_window_t window) {
    xcb_query_tree_reply_t* reply =
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
    const xcb_window_t parent = reply != nullptr ? reply->parent : xcb_window_t{XCB_WINDOW_NONE};
    std::free(reply);
    return parent;
  }
  xcb_window_t Root() const { return root_; }

  // Whether `window` and every window above it are mapped: it can be seen and clicked.
  bool Viewable(xcb_window_t window) {
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr);
    const bool viewable = reply != nullptr && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
  }

  // Where `window` is on the screen.
  QRect Geometry(xcb_window_t window) {
    xcb_get_geometry_reply_t* size =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
    QRect geometry;
    if (size != nullptr && place != nullptr) {
      geometry = QRect(place->dst_x, place->dst_y, size->width, size->height);
    }
    std::free(size);
    std::free(place);
    return geometry;
  }

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_atom_t selection_ = XCB_ATOM_NONE;
};

// trayer, the XEmbed tray of Debian's lightweight desktops, at the bottom right.
class TrayHost {
 public:
  explicit TrayHost(XServer& x) : x_(x) {
    process_.emplace(
        std::vector<std::string>{"/usr/bin/trayer", "--edge", "bottom", "--align", "right",
                                 "--widthtype", "pixel", "--width", "200", "--height", "32"},
        std::vector<std::string>{});
    EXPECT_TRUE(QTest::qWaitFor([this] { return x_.TrayOwned(); }, kWaitMs))
        << "trayer did not take the tray (package trayer)";
  }
  ~TrayHost() {
    process_.reset();
    // The toolkit learns it from its own connection, a moment after the server.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return !x_.TrayOwned() && !QSystemTrayIcon::isSystemTrayAvailable(); }, kWaitMs));
  }

 private:
  XServer& x_;
  std::optional<ChildProcess> process_;
};

// The icon's own window, when the toolkit has made one.
QWidget* IconWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("QSystemTrayIconSys")) return widget;
  }
  return nullptr;
}

// Whether the icon sits in the tray: its window was taken in by the tray host, and
// placed in the panel at the bottom of the screen.
bool Docked(XServer& x) {
  QWidget* icon = IconWindow();
  if (icon == nullptr || !icon->isVisible()) return false;
  const auto window = static_cast<xcb_window_t>(icon->winId());
  const xcb_window_t parent = x.Parent(window);
  return parent != XCB_WINDOW_NONE && parent != x.Root() && x.Viewable(window) &&
         x.Geometry(window).top() > 0;
}

void XdoTool(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"/usr/bin/timeout", "20", "/usr/bin/xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildProcess tool(argv, {});
  EXPECT_EQ(tool.WaitExit(20s), 0);
}

class TrayTest : public ::testing::Test {
 protected:
  // A window in `mode`, over a drive holding a movie disk (or empty).
  void Open(int mode, bool movies) {
    fixture_.settings.FullScreen = mode;
    if (movies) fixture_.Insert(MoviesDisk("FILMS", 1));
    window_ = new CFullScreenDlg(fixture_.settings, fixture_.Services(), {}, &watcher_,
                                 &platform_->windowFocus, fixture_.DevicePath());
    window_->Create();
  }
  void TearDown() override { delete window_.data(); }

  // Waits until the watcher saw a new tray host, and a little for the toolkit to dock
  // what it docks by itself.
  void RestartHost(std::optional<TrayHost>& host) {
    host.reset();
    QSignalSpy appeared(&watcher_, &TrayHostWatcher::TrayHostAppeared);
    host.emplace(x_);
    EXPECT_TRUE(QTest::qWaitFor([&] { return appeared.count() > 0; }, kWaitMs));
    QTest::qWait(500);
  }

  XServer x_;
  // The platform's own tray-host watch, in this test's event loop.
  RecordingMessages messages_;
  std::unique_ptr<PlatformServices> platform_ = CreatePlatformServices(messages_);
  TrayHostWatcher watcher_{platform_->trayHosts};
  ScreenFixture fixture_;
  QPointer<CFullScreenDlg> window_;
};

TEST_F(TrayTest, EscapeDocksTheIconAndAClickOrADoubleClickBringsTheWindowBack) {
  std::optional<TrayHost> host(std::in_place, x_);
  // Only the X tray selection: the tests run without a session bus.
  ASSERT_EQ(watcher_.WatchedSources(), 1u);
  Open(1, true);
  ASSERT_TRUE(window_->isVisible());
  EXPECT_FALSE(Docked(x_));

  QTest::keyClick(&window_->ChoiceList(), Qt::Key_Escape);
  EXPECT_FALSE(window_->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Docked(x_); }, kWaitMs)) << "the icon is in the tray";
  EXPECT_EQ(window_->Tray().Icon().toolTip(), "Quorvel");
  QAction* open = window_->Tray().Menu().defaultAction();
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->text(), "&Open Quorvel");
  EXPECT_EQ(MenuCommand(*open), res::menu::kOpen);

  // A right click opens the menu at the icon.
  const QRect icon = x_.Geometry(static_cast<xcb_window_t>(IconWindow()->winId()));
  ASSERT_FALSE(icon.isEmpty());
  const std::string x = std::to_string(icon.center().x());
  const std::string y = std::to_string(icon.center().y());
  XdoTool({"mousemove", x, y, "sleep", "0.2", "click", "3"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->Tray().Menu().isVisible(); }, kWaitMs));
  window_->Tray().Menu().close();
  QTest::qWait(200);

  // A double click restores the window; the icon leaves the tray.
  XdoTool({"mousemove", x, y, "sleep", "0.2", "click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->isVisible(); }, kWaitMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Docked(x_); }, kWaitMs));
  EXPECT_FALSE(window_->Tray().IsShown());

  // So does a single click.
  QTest::keyClick(&window_->ChoiceList(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Docked(x_); }, kWaitMs));
  const QRect again = x_.Geometry(static_cast<xcb_window_t>(IconWindow()->winId()));
  XdoTool({"mousemove", std::to_string(again.center().x()), std::to_string(again.center().y()),
           "sleep", "0.2", "click", "1"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->isVisible(); }, kWaitMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Docked(x_); }, kWaitMs));
}

TEST_F(TrayTest, ARestartedHostGetsTheIconBackWhereItMustBeReachable) {
  std::optional<TrayHost> host(std::in_place, x_);
  // Start mode 1, window shown: a new host gets no icon.
  Open(1, true);
  RestartHost(host);
  EXPECT_FALSE(Docked(x_));
  EXPECT_FALSE(window_->Tray().IsShown());
  // Hidden: the icon comes back after the host restarts, in every mode.
  QTest::keyClick(&window_->ChoiceList(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Docked(x_); }, kWaitMs));
  RestartHost(host);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Docked(x_); }, kWaitMs));
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(TrayTest, InStartModeTwoARestartedHostGetsTheIconBesideTheShownWindow) {
  std::optional<TrayHost> host(std::in_place, x_);
  Open(2, true);
  ASSERT_TRUE(window_->isVisible()) << "a movie disk shows the window in start mode 2";
  EXPECT_FALSE(Docked(x_));
  RestartHost(host);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Docked(x_); }, kWaitMs));
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(TrayTest, WithoutAHostEscapeMinimises) {
  ASSERT_FALSE(x_.TrayOwned());
  Open(2, false);
  // Start mode 2 without a disk would hide the window into the tray: there is none.
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->isMinimized());
  window_->Rules().ShowFull();
  EXPECT_FALSE(window_->isMinimized());
  QTest::keyClick(&window_->ChoiceList(), Qt::Key_Escape);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->isMinimized());
  // A new movie disk brings the minimised window back, as it brings a hidden one.
  fixture_.Insert(MoviesDisk("FILMS", 2));
  window_->Rules().OnTimer();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window_->isMinimized(); }, kWaitMs));
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(window_->Label().text(), "FILMS");
}

}  // namespace
}  // namespace quorvel

// The tests need a real X server with no tray and no session bus: an XEmbed host is
// started by the tests themselves.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--gtest_list_tests") {
      ::testing::InitGoogleTest(&argc, argv);
      return RUN_ALL_TESTS();
    }
  }
  quorvel::testing::Xvfb xvfb;
  if (!xvfb.Running()) {
    std::fprintf(stderr, "Xvfb did not start (package xvfb)\n");
    return 1;
  }
  setenv("DISPLAY", xvfb.Display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

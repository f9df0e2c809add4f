#include "faces/qt/fullscreen/tray_host_watcher.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <string>

namespace quorvel {
namespace {

// The freedesktop.org system tray: its host owns this selection per screen and says so
// with a MANAGER client message on the root window.
constexpr const char* kTraySelectionPrefix = "_NET_SYSTEM_TRAY_S";
constexpr const char* kManager = "MANAGER";
// The D-Bus status icon protocol's watcher.
constexpr const char* kStatusNotifierWatcher = "org.kde.StatusNotifierWatcher";

xcb_atom_t InternAtom(xcb_connection_t* connection, const std::string& name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

// A connection of its own to the X server, so that the root window's events reach this
// watcher whatever the toolkit's connection selects.
struct TrayHostWatcher::XConnection {
  xcb_connection_t* connection = nullptr;
  xcb_atom_t manager = XCB_ATOM_NONE;
  xcb_atom_t selection = XCB_ATOM_NONE;
  ~XConnection() {
    if (connection != nullptr) xcb_disconnect(connection);
  }
};

TrayHostWatcher::TrayHostWatcher(QObject* parent) : QObject(parent) {
  // A connection of its own to the X server and a look at the root window cost a few
  // milliseconds of start-up: the tray is watched once the event loop runs (a host that
  // comes before is found by the first icon added all the same). Connecting to the bus
  // takes longer than anything else at start-up, and a session without a bus would even
  // have one launched: the bus is watched then too, and only where the session has one.
  if (QGuiApplication::platformName() == QLatin1String("xcb"))
    QTimer::singleShot(0, this, &TrayHostWatcher::WatchXEmbed);
  if (SessionBusKnown()) QTimer::singleShot(0, this, &TrayHostWatcher::WatchBus);
}

bool TrayHostWatcher::SessionBusKnown() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus"));
}

void TrayHostWatcher::WatchBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  busWatcher_ = new QDBusServiceWatcher(QString::fromLatin1(kStatusNotifierWatcher), bus,
                                        QDBusServiceWatcher::WatchForRegistration, this);
  connect(busWatcher_, &QDBusServiceWatcher::serviceRegistered, this,
          &TrayHostWatcher::TrayHostAppeared);
}

TrayHostWatcher::~TrayHostWatcher() = default;

void TrayHostWatcher::WatchXEmbed() {
  auto x = std::make_unique<XConnection>();
  int screenNumber = 0;
  x->connection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(x->connection) != 0) return;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x->connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return;
  const xcb_window_t root = screens.data->root;
  x->manager = InternAtom(x->connection, kManager);
  x->selection = InternAtom(x->connection, kTraySelectionPrefix + std::to_string(screenNumber));
  if (x->manager == XCB_ATOM_NONE || x->selection == XCB_ATOM_NONE) return;
  // MANAGER is sent to the root window with the structure-notify mask.
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(x->connection, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x->connection);
  notifier_ =
      new QSocketNotifier(xcb_get_file_descriptor(x->connection), QSocketNotifier::Read, this);
  connection_ = std::move(x);
  connect(notifier_, &QSocketNotifier::activated, this, &TrayHostWatcher::ReadXEvents);
}

void TrayHostWatcher::ReadXEvents() {
  bool appeared = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_->connection)) {
    if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
      const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
      // data32: timestamp, the selection acquired, the owner window, ...
      if (message->type == connection_->manager && message->format == 32 &&
          message->data.data32[1] == connection_->selection) {
        appeared = true;
      }
    }
    std::free(event);
  }
  if (xcb_connection_has_error(connection_->connection) != 0) {
    // The X server went away; nothing more will come.
    notifier_->setEnabled(false);
  }
  if (appeared) emit TrayHostAppeared();
}

}  // namespace quorvel

#include "faces/qt/fullscreen/window_focus.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>

#if defined(Q_OS_LINUX)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace quorvel {

#if defined(Q_OS_LINUX)
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name, std::uint16_t length) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, length, name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// A window manager says it runs through the root's _NET_SUPPORTING_WM_CHECK, a window
// that exists while it does.
bool WindowManagerRuns(xcb_connection_t* connection, xcb_window_t root) {
  static constexpr char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
  const xcb_atom_t check = Atom(connection, kCheck, sizeof kCheck - 1);
  if (check == XCB_ATOM_NONE) return false;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
  xcb_window_t wm = XCB_WINDOW_NONE;
  if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    wm = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  if (wm == XCB_WINDOW_NONE) return false;
  xcb_get_window_attributes_reply_t* exists = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, wm), nullptr);
  const bool running = exists != nullptr;
  std::free(exists);
  return running;
}

}  // namespace
#endif

void FocusTopLevelWindow(QWidget& window) {
#if defined(Q_OS_LINUX)
  if (QGuiApplication::platformName() != QLatin1String("xcb") || !window.isVisible()) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if (setup == nullptr) return;
  const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
  if (WindowManagerRuns(connection, root)) return;
  // The current time: the request always wins over the focus changes before it.
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
  xcb_flush(connection);
#else
  (void)window;
#endif
}

}  // namespace quorvel

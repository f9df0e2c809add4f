#include "platform/linux/linux_window_focus.h"

#include <xcb/xcb.h>

#include "platform/linux/unique_handles.h"

namespace quorvel {
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name, std::uint16_t length) {
  const UniqueMalloc<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, length, name), nullptr));
  return reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A window manager says it runs through the root's _NET_SUPPORTING_WM_CHECK, a window
// that exists while it does.
bool WindowManagerRuns(xcb_connection_t* connection, xcb_window_t root) {
  static constexpr char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
  const xcb_atom_t check = Atom(connection, kCheck, sizeof kCheck - 1);
  if (check == XCB_ATOM_NONE) return false;
  const UniqueMalloc<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
  xcb_window_t wm = XCB_WINDOW_NONE;
  if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4) {
    wm = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
  }
  if (wm == XCB_WINDOW_NONE) return false;
  const UniqueMalloc<xcb_get_window_attributes_reply_t> exists(xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, wm), nullptr));
  return exists != nullptr;
}

}  // namespace

bool LinuxWindowFocus::FocusTopLevelWindow(std::uintptr_t window, void* display) {
  auto* connection = static_cast<xcb_connection_t*>(display);
  if (connection == nullptr || xcb_connection_has_error(connection) != 0) return false;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if (setup == nullptr) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
  if (WindowManagerRuns(connection, root)) return false;
  // The current time: the request always wins over the focus changes before it.
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(window),
                      XCB_CURRENT_TIME);
  xcb_flush(connection);
  return true;
}

}  // namespace quorvel

#pragma once
// Giving a top-level window the keyboard focus where the toolkit's own request is not
// enough: on X11 without a window manager a toolkit asks the server for the focus with
// the time of the last event it saw, and the server ignores a request older than the
// last focus change (a player's window that took the focus, or went away, made one since).

#include <cstdint>

namespace quorvel {

class WindowFocus {
 public:
  virtual ~WindowFocus() = default;

  // Gives `window`, a shown top-level window (its native id: an X window), the keyboard
  // focus at once, with the current time, where no window manager runs; where one runs,
  // and on other systems, leaves it to the toolkit's activation, which asks the window
  // manager. `display` is the toolkit's own connection to the display (xcb_connection_t
  // on X11), so that the request follows the toolkit's own requests for the window.
  // True when the focus was set here.
  virtual bool FocusTopLevelWindow(std::uintptr_t window, void* display) = 0;
};

}  // namespace quorvel

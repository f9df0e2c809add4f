#pragma once
// Giving a top-level window the keyboard focus where the toolkit's own request is not
// enough: on X11 without a window manager, Qt asks the server for the focus with the time
// of the last event it saw, and the server ignores a request older than the last focus
// change (a player's window that took the focus, or went away, made one since).

class QWidget;

namespace quorvel {

// On X11 without a window manager, gives `window` (a shown top-level window) the keyboard
// focus at once; with a window manager, and on other systems, leaves it to the toolkit's
// activation, which asks the window manager.
void FocusTopLevelWindow(QWidget& window);

}  // namespace quorvel

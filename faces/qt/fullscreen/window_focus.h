#pragma once
// The keyboard focus for a shown top-level window of the Qt face where Qt's own
// activation is not enough (X11 without a window manager): the platform's WindowFocus
// (platform/window_focus.h) with the toolkit's own display connection.

class QWidget;

namespace quorvel {

class WindowFocus;

// Gives `window` the keyboard focus through `focus` when Qt runs on X11; elsewhere, and
// without `focus`, leaves it to Qt's activation.
void FocusTopLevelWindow(QWidget& window, WindowFocus* focus);

}  // namespace quorvel

#pragma once
// Qt's key codes as the full-screen window's keys, including those that Linux delivers
// from infrared and CEC remotes and media keyboards.

#include "rules/screen/screen_keys.h"

namespace quorvel {

// The window key for Qt key `qtKey` (Qt::Key); screen::Key::Other for any key the
// window gives no meaning of its own.
screen::Key ScreenKeyFromQt(int qtKey);

}  // namespace quorvel

#pragma once
// The system's key codes and application commands as the screen's keys.

#include <optional>

#include "faces/win32/resources/windows_api.h"
#include "rules/screen/screen_keys.h"

namespace quorvel::win32 {

// The key of virtual key `vk`; Key::Other for a key without a meaning of its own.
screen::Key ScreenKeyFromVirtualKey(WPARAM vk);

// The key an application command (WM_APPCOMMAND, GET_APPCOMMAND_LPARAM) stands for, or
// none for a command the window does not take.
std::optional<screen::Key> ScreenKeyFromAppCommand(int command);

// Whether a WM_APPCOMMAND with `lParam` was made from a key press, which reaches the
// window as a key message as well (before or after the command): such a command is
// answered by the key alone, so that the key acts once.
bool AppCommandFromKey(LPARAM lParam);

}  // namespace quorvel::win32

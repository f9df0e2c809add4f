#pragma once
// The keyboard focus on X11 without a window manager: set with the current time.

#include "platform/window_focus.h"

namespace quorvel {

class LinuxWindowFocus final : public WindowFocus {
 public:
  bool FocusTopLevelWindow(std::uintptr_t window, void* display) override;
};

}  // namespace quorvel

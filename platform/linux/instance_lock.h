#pragma once
// The claim of one running copy of a program per user and display: an exclusive lock
// (flock) on a file in a folder of the user's own, named after the program, the user, the
// host and the display. The kernel gives the lock to exactly one of any number of
// processes that ask at once, and takes it back when its holder ends, however it ends,
// so a dead process (a zombie too) never holds it. The descriptor is not inherited by
// the programs the holder starts.

#include <string>
#include <string_view>

#include "platform/processes.h"

namespace quorvel {

// The display a program of this session shows on, as a part of a file name: DISPLAY
// without its screen number (":0.1" and ":0" are one display), else WAYLAND_DISPLAY,
// else "none".
std::string DisplayKey();

// The lock file for `programName` (file name, compared without regard to ASCII case) in
// the first of these folders that is a real folder owned by this user or can be made
// one: $XDG_RUNTIME_DIR/quorvel, $XDG_CACHE_HOME/quorvel (~/.cache/quorvel),
// /tmp/quorvel-<uid>. "" when none can.
std::string InstanceLockPath(std::string_view programName);

InstanceResult ClaimInstanceLock(std::string_view programName);

}  // namespace quorvel

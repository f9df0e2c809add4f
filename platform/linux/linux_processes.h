#pragma once
// The processes service on Linux: players are started with posix_spawn behind a double
// fork and watched through a pidfd until they end, the process list comes from /proc, and windows
// are X11 windows reached through xcb (EWMH client list, else the root window's children).

#include <memory>

#include "platform/processes.h"

namespace quorvel {

std::unique_ptr<Processes> CreateLinuxProcesses();

}  // namespace quorvel

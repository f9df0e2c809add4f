#pragma once
// Requests from the system to end the program: the session ending (the display manager
// ends a session's programs with SIGTERM, a lost X server with SIGHUP) or Ctrl+C in a
// terminal. They reach the program's own event loop through a descriptor, so that the
// program ends as after its own "Exit": windows closed, settings written, exit status 0.

namespace quorvel {

// Starts catching the requests and returns a descriptor that becomes readable when one
// came; -1 where the platform delivers none. Call once, from the user-interface thread.
int CatchEndRequests();

}  // namespace quorvel

#include "platform/end_requests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace quorvel {

namespace {

// The pipe's write end; the handler may only write to it (async-signal-safe).
int writeEnd = -1;

void OnEndRequest(int /*signal*/) {
  const int saved = errno;
  // A full pipe already holds a request, which is all the reader needs to know.
  [[maybe_unused]] const ssize_t written = ::write(writeEnd, "e", 1);
  errno = saved;
}

}  // namespace

int CatchEndRequests() {
  static int readEnd = -1;
  if (readEnd >= 0) return readEnd;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  readEnd = ends[0];
  writeEnd = ends[1];
  struct sigaction action = {};
  action.sa_handler = OnEndRequest;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return readEnd;
}

}  // namespace quorvel

#pragma once
// A disk-change event source that a test triggers: each Signal() is one relevant
// change, delivered through a pipe so that an event loop watches it as it watches the
// platform's own descriptors. Where there are no pipes it offers no descriptor, as a
// system without any event source does.

#include <vector>

#include "platform/disk_events.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quorvel {

class FakeDiskEvents final : public DiskEvents {
 public:
  FakeDiskEvents() {
#ifndef _WIN32
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
      read_ = ends[0];
      write_ = ends[1];
    }
#endif
  }
  FakeDiskEvents(const FakeDiskEvents&) = delete;
  FakeDiskEvents& operator=(const FakeDiskEvents&) = delete;
  ~FakeDiskEvents() override {
#ifndef _WIN32
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
#endif
  }

  std::vector<EventSource> Sources() const override {
    if (read_ < 0) return {};
    return {{read_, EventSource::Wait::Readable}};
  }

  bool Drain(std::intptr_t fd) override {
    ++drains;
    bool any = false;
#ifndef _WIN32
    if (fd != read_ || read_ < 0) return false;
    char buffer[64];
    while (::read(read_, buffer, sizeof buffer) > 0) any = true;
#else
    (void)fd;
#endif
    return any;
  }

  // A report counts as a change when the test says so (reportsChange), as a volume's
  // arrival does on Windows.
  bool DeviceChangeReport(std::uintptr_t, std::intptr_t) override {
    ++reports;
    return reportsChange;
  }

  // One disk change, seen by the loop the next time it runs; false without a pipe.
  bool Signal() {
#ifndef _WIN32
    return write_ >= 0 && ::write(write_, "c", 1) == 1;
#else
    return false;
#endif
  }

  int drains = 0;   // how often the loop woke for this source
  int reports = 0;  // how many device-change reports a window handed in
  bool reportsChange = true;

 private:
  int read_ = -1;
  int write_ = -1;
};

}  // namespace quorvel

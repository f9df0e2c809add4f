#pragma once
// A disk-event source fed with the text that `udevadm monitor --property` prints: each
// event is a header line ("KERNEL[...]" or "UDEV  [...]"), its properties as KEY=VALUE
// lines and an empty line. Text written with Send reaches the source through a pipe,
// so a program's event loop watches it as it watches the real source's descriptor.
// As the real monitor listens to udev's processed events only, the kernel's raw
// uevents of a recording are read and dropped.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk_events.h"
#include "platform/linux/udev_event.h"

namespace quorvel::testing {

struct RecordedUdevEvent {
  bool processed = false;  // udev's event ("UDEV"), not the kernel's raw one ("KERNEL")
  UdevProperties properties;
};

// "KERNEL[8412.503117] change   /devices/... (block)" or "UDEV  [8412.642908] ...", the
// source padded to six characters; not udevadm's banner ("UDEV - the event ...").
inline bool IsEventHeader(std::string_view line) {
  for (std::string_view source : {std::string_view("KERNEL"), std::string_view("UDEV")}) {
    if (line.rfind(source, 0) != 0) continue;
    const std::size_t bracket = line.find_first_not_of(' ', source.size());
    return bracket != std::string_view::npos && line[bracket] == '[';
  }
  return false;
}

// The events of a recording, in order; lines outside an event (udevadm's banner) are
// skipped, and an event without its closing empty line is left out.
inline std::vector<RecordedUdevEvent> ParseUdevMonitorText(std::string_view text,
                                                           std::size_t* consumed = nullptr) {
  std::vector<RecordedUdevEvent> events;
  RecordedUdevEvent current;
  bool inEvent = false;
  std::size_t start = 0;
  std::size_t used = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (IsEventHeader(line)) {
      current = RecordedUdevEvent{line.front() == 'U', {}};
      inEvent = true;
    } else if (line.empty()) {
      if (inEvent) events.push_back(std::move(current));
      inEvent = false;
      used = start;
    } else if (const std::size_t equals = line.find('=');
               inEvent && equals != std::string_view::npos) {
      current.properties.emplace_back(std::string(line.substr(0, equals)),
                                      std::string(line.substr(equals + 1)));
    } else if (!inEvent) {
      used = start;
    }
  }
  if (consumed != nullptr) *consumed = used;
  return events;
}

class RecordedDiskEvents final : public DiskEvents {
 public:
  RecordedDiskEvents() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
      read_ = ends[0];
      write_ = ends[1];
    }
  }
  RecordedDiskEvents(const RecordedDiskEvents&) = delete;
  RecordedDiskEvents& operator=(const RecordedDiskEvents&) = delete;
  ~RecordedDiskEvents() override {
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
  }

  // Hands `text` to the source, as the monitor's socket would receive it.
  bool Send(std::string_view text) {
    while (!text.empty()) {
      const ssize_t n = ::write(write_, text.data(), text.size());
      if (n <= 0) return false;
      text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  std::vector<EventSource> Sources() const override {
    return {{read_, EventSource::Wait::Readable}};
  }
  bool DeviceChangeReport(std::uintptr_t, std::intptr_t) override { return false; }

  bool Drain(std::intptr_t fd) override {
    if (fd != read_) return false;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(read_, chunk, sizeof chunk)) > 0)
      pending_.append(chunk, static_cast<std::size_t>(n));
    std::size_t consumed = 0;
    bool relevant = false;
    for (const RecordedUdevEvent& event : ParseUdevMonitorText(pending_, &consumed)) {
      ++taken_;
      if (event.processed && IsOpticalMediumEvent(event.properties)) relevant = true;
    }
    pending_.erase(0, consumed);
    return relevant;
  }

  // How many events (kernel and udev ones) the source has taken so far.
  int Taken() const { return taken_; }

 private:
  int read_ = -1;
  int write_ = -1;
  std::string pending_;
  int taken_ = 0;
};

}  // namespace quorvel::testing

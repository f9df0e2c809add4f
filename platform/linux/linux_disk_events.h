#pragma once
// Disk-change events on Linux: the kernel's change notification of the mount table
// (POLLPRI on an open /proc/self/mountinfo) and udev's block events of optical drives
// and removable media (an sd-device monitor in an sd-event loop whose one descriptor
// the program watches).

#include <systemd/sd-device.h>
#include <systemd/sd-event.h>

#include <string>
#include <vector>

#include "platform/disk_events.h"
#include "platform/linux/unique_handles.h"

namespace quorvel {

// Where the events come from. Tests point these elsewhere to see one source alone.
struct LinuxDiskEventSources {
  std::string mountInfo = "/proc/self/mountinfo";
  // udev's control socket: where it is missing, no udev daemon runs (a container) and
  // no udev event would ever come.
  std::string udevControl = "/run/udev/control";
};

// Not thread-safe: one object serves the thread whose loop watches its descriptors.
class LinuxDiskEvents final : public DiskEvents {
 public:
  // The most udev events taken in one Drain; the rest wait for the next, as the
  // descriptor stays readable while they do.
  static constexpr int kMaxEventsPerDrain = 64;

  explicit LinuxDiskEvents(const LinuxDiskEventSources& sources = {});
  LinuxDiskEvents(const LinuxDiskEvents&) = delete;
  LinuxDiskEvents& operator=(const LinuxDiskEvents&) = delete;
  ~LinuxDiskEvents() override;

  std::vector<EventSource> Sources() const override;
  bool Drain(std::intptr_t source) override;
  // Linux tells windows of nothing: its changes come through the sources.
  bool DeviceChangeReport(std::uintptr_t, std::intptr_t) override { return false; }

  // Which sources answer: the mount table's notification, udev's block events.
  bool WatchesMounts() const { return mountInfo_.ok(); }
  bool WatchesUdev() const { return monitor_ != nullptr; }

 private:
  static int OnDevice(sd_device_monitor* monitor, sd_device* device, void* self);

  UniqueFd mountInfo_;
  sd_event* loop_ = nullptr;
  sd_device_monitor* monitor_ = nullptr;
  bool relevant_ = false;
};

}  // namespace quorvel

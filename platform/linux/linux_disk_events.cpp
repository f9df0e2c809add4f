#include "platform/linux/linux_disk_events.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/udev_event.h"

namespace quorvel {

namespace {

void Debug(const char* text) {
  if (std::getenv("QUORVEL_DEBUG") != nullptr) std::fprintf(stderr, "quorvel events: %s\n", text);
}

// The properties of a device event, as udev sent them.
UdevProperties PropertiesOf(sd_device* device) {
  UdevProperties properties;
  const char* value = nullptr;
  for (const char* key = sd_device_get_property_first(device, &value); key != nullptr;
       key = sd_device_get_property_next(device, &value)) {
    properties.emplace_back(key, value != nullptr ? value : "");
  }
  return properties;
}

}  // namespace

LinuxDiskEvents::LinuxDiskEvents(const LinuxDiskEventSources& sources) {
  // Only the kernel's own table signals its changes; a plain file in its place never
  // would, and would only read as always changed.
  UniqueFd mounts(::open(sources.mountInfo.c_str(), O_RDONLY | O_CLOEXEC));
  struct statfs fs {};
  if (mounts && ::fstatfs(mounts.get(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
    mountInfo_ = std::move(mounts);
    Debug("watching the mount table");
  } else {
    Debug("no mount table notification");
  }

  if (::access(sources.udevControl.c_str(), F_OK) != 0) {
    Debug("no udev daemon: no block events");
    return;
  }
  if (sd_event_new(&loop_) < 0) {
    loop_ = nullptr;
    return;
  }
  // Every block device: an optical drive's medium changes on the drive itself, a USB
  // stick's filesystem mostly sits on a partition.
  if (sd_device_monitor_new(&monitor_) < 0 ||
      sd_device_monitor_filter_add_match_subsystem_devtype(monitor_, "block", nullptr) < 0 ||
      sd_device_monitor_attach_event(monitor_, loop_) < 0 ||
      sd_device_monitor_start(monitor_, &LinuxDiskEvents::OnDevice, this) < 0) {
    Debug("udev block events cannot be watched");
    monitor_ = sd_device_monitor_unref(monitor_);
    loop_ = sd_event_unref(loop_);
    return;
  }
  Debug("watching udev block events");
}

LinuxDiskEvents::~LinuxDiskEvents() {
  if (monitor_ != nullptr) {
    sd_device_monitor_stop(monitor_);
    sd_device_monitor_unref(monitor_);
  }
  if (loop_ != nullptr) sd_event_unref(loop_);
}

std::vector<EventSource> LinuxDiskEvents::Sources() const {
  std::vector<EventSource> descriptors;
  if (mountInfo_) descriptors.push_back({mountInfo_.get(), EventSource::Wait::Priority});
  // The mount table stays out of the sd-event loop on purpose: the kernel clears its
  // change flag in the poll that reports it, so a poll of the loop's epoll descriptor
  // from outside would take the flag away from the loop's own wait.
  if (loop_ != nullptr)
    descriptors.push_back({sd_event_get_fd(loop_), EventSource::Wait::Readable});
  return descriptors;
}

bool LinuxDiskEvents::Drain(std::intptr_t fd) {
  if (fd < 0) return false;
  // The poll that woke the caller has taken the change flag already: being called for
  // this descriptor is the news. Reading the table is the volumes service's work.
  if (fd == mountInfo_.get()) return true;
  if (loop_ == nullptr || fd != sd_event_get_fd(loop_)) return false;
  relevant_ = false;
  for (int taken = 0; taken < kMaxEventsPerDrain; ++taken) {
    if (sd_event_run(loop_, 0) <= 0) break;
  }
  return relevant_;
}

int LinuxDiskEvents::OnDevice(sd_device_monitor* /*monitor*/, sd_device* device, void* self) {
  const UdevProperties properties = PropertiesOf(device);
  if (IsOpticalMediumEvent(properties)) {
    static_cast<LinuxDiskEvents*>(self)->relevant_ = true;
    Debug("optical drive: medium changed or eject requested");
  } else if (IsRemovableMediumEvent(properties)) {
    static_cast<LinuxDiskEvents*>(self)->relevant_ = true;
    Debug("removable medium: plugged in, changed or removed");
  }
  return 0;
}

}  // namespace quorvel

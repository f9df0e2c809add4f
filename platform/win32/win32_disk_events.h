#pragma once
// Disk-change events on Windows: the system tells the program's top-level windows of a
// volume or medium that arrived or went with the WM_DEVICECHANGE message, so there is no
// source to watch; a window hands each report to DeviceChangeReport.

#include "platform/disk_events.h"

namespace quorvel {

class Win32DiskEvents final : public DiskEvents {
 public:
  std::vector<EventSource> Sources() const override { return {}; }
  bool Drain(std::intptr_t) override { return false; }
  bool DeviceChangeReport(std::uintptr_t event, std::intptr_t details) override;
};

}  // namespace quorvel

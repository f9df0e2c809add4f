#pragma once
// Disk-change events: lets a window that shows a disk learn at once that the system saw
// a disk change (a filesystem mounted or unmounted, a drive's medium changed or asked to
// be ejected), so that it reads the disk then instead of at its next poll. The poll
// stays the rule that always works; these events only make it come sooner.
//
// The service has no thread of its own and never blocks. The system tells of changes in
// one of two ways, and a window takes both alike: through sources that the program
// watches in its own event loop (descriptors on Linux), calling Drain with the one that
// became ready; or through reports to the program's windows (WM_DEVICECHANGE on
// Windows), which a window hands to DeviceChangeReport.

#include <cstdint>
#include <vector>

#include "platform/event_source.h"

namespace quorvel {

class DiskEvents {
 public:
  virtual ~DiskEvents() = default;

  // The sources to watch. Fixed for the object's life; empty where the system offers
  // none (then only the poll, or the system's reports, see changes).
  virtual std::vector<EventSource> Sources() const = 0;

  // To be called when `source`, one of Sources(), became ready. Takes every event that
  // waits there, without blocking, and tells whether one of them may change what a disk
  // path shows. Several such events taken at once give one true. Events that can have no
  // effect on a disk (another device, a property refresh) give false, as do a call with
  // nothing waiting and a source that is not one of this object's.
  virtual bool Drain(std::intptr_t source) = 0;

  // A device-change report that a window of the program received from the system
  // (Windows: WM_DEVICECHANGE, `event` its wParam and `details` its lParam, the address
  // of a DEV_BROADCAST record or 0). Tells whether it may change what a disk path shows:
  // a volume or a medium that arrived or went. False for every other report, and where
  // the system sends none.
  virtual bool DeviceChangeReport(std::uintptr_t event, std::intptr_t details) = 0;
};

}  // namespace quorvel

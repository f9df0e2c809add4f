#pragma once
// Disk-change events: lets a window that shows a disk learn at once that the system saw
// a disk change (a filesystem mounted or unmounted, a drive's medium changed or asked to
// be ejected), so that it reads the disk then instead of at its next poll. The poll
// stays the rule that always works; these events only make it come sooner.
//
// The service has no thread of its own and never blocks: the program watches its
// descriptors in its own event loop and calls Drain with the one that became ready.

#include <memory>
#include <vector>

namespace quorvel {

// A descriptor to watch, and for what: readable (poll's POLLIN), or an exceptional
// condition (POLLPRI), which is how a kernel table says that it changed. A descriptor
// watched for POLLPRI may be readable all the time and must not be watched for reading.
struct DiskEventDescriptor {
  enum class Wait { Readable, Priority };
  int fd = -1;
  Wait wait = Wait::Readable;
};

class DiskEvents {
 public:
  virtual ~DiskEvents() = default;

  // The descriptors to watch. Fixed for the object's life; empty when the system offers
  // no event source at all (then only the poll sees changes).
  virtual std::vector<DiskEventDescriptor> Descriptors() const = 0;

  // To be called when `fd`, one of Descriptors(), became ready. Takes every event that
  // waits there, without blocking, and tells whether one of them may change what a disk
  // path shows. Several such events taken at once give one true. Events that can have no
  // effect on a disk (another device, a property refresh) give false, as do a call with
  // nothing waiting and a descriptor that is not one of this object's.
  virtual bool Drain(int fd) = 0;
};

}  // namespace quorvel

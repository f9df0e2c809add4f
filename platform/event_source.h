#pragma once
// What a program's event loop waits on for a service that has no thread of its own: the
// service hands out its sources, the loop watches them beside its own, and tells the
// service which one became ready.

#include <cstdint>

namespace quorvel {

struct EventSource {
  enum class Wait {
    Readable,  // a descriptor, ready to read (poll's POLLIN)
    // A descriptor with an exceptional condition (POLLPRI), which is how a kernel table
    // says that it changed. It may be readable all the time and must not be watched for
    // reading.
    Priority,
    Signalled,  // a waitable handle of Windows, signalled
  };
  std::intptr_t handle = -1;  // a descriptor, or a HANDLE as a number
  Wait wait = Wait::Readable;
  bool operator==(const EventSource&) const = default;
};

}  // namespace quorvel

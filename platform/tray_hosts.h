#pragma once
// Tray hosts that appear: the desktop's form of the taskbar's "TaskbarCreated" message,
// for instance after the panel was restarted, or a tray started after the program. Every
// icon was lost with the old host, so a window may have to put its icon back.
//
// No thread and no timer: the program watches the sources in its own event loop and
// calls Drain with the one that became ready. On Windows the taskbar announces itself
// to the windows with its registered message, and the service has no source.

#include <cstdint>
#include <vector>

#include "platform/event_source.h"

namespace quorvel {

class TrayHostEvents {
 public:
  virtual ~TrayHostEvents() = default;

  // Starts watching at the first call, and gives the sources to watch from then on;
  // empty where no tray host can be watched. Watching costs start-up time (a connection
  // of its own to the display and to the session bus): a program asks once its window
  // is up.
  virtual std::vector<EventSource> Sources() = 0;

  // To be called when `source`, one of Sources(), became ready. Takes everything that
  // waits there, without blocking, and tells whether a tray host appeared; several at
  // once give one true. A source that will never be ready again (the display went away)
  // is left out of later Sources().
  virtual bool Drain(std::intptr_t source) = 0;
};

}  // namespace quorvel

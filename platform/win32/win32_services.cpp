// The Windows backend's one factory: every service of the platform, wired for a program.

#include <memory>
#include <vector>

#include "platform/services.h"
#include "platform/win32/win32_disk_events.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_private_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_volumes.h"

namespace quorvel {

namespace {

// The taskbar announces itself to the windows with its registered message
// ("TaskbarCreated"), so there is nothing to watch; and a window's activation gives it the
// keyboard.
class NoTrayHostEvents final : public TrayHostEvents {
 public:
  std::vector<EventSource> Sources() override { return {}; }
  bool Drain(std::intptr_t) override { return false; }
};

class NoWindowFocus final : public WindowFocus {
 public:
  bool FocusTopLevelWindow(std::uintptr_t, void*) override { return false; }
};

// The services themselves, made before the seam that refers to them. The system keeps
// the registry, so the user's store has nothing of its own to read, set aside or
// write back: it is the registry itself, and the system service writes its entries
// below HKEY_LOCAL_MACHINE through the same registry.
struct Win32ServiceParts {
  Win32Files files;
  Win32Volumes volumes;
  Win32Processes processes;
  Win32Registry registry;
  Win32System system{registry};
  Win32PrivateFiles privateFiles;
  Win32DiskEvents diskEvents;
  NoTrayHostEvents trayHostEvents;
  NoWindowFocus focus;
};

class Win32Services final : private Win32ServiceParts, public PlatformServices {
 public:
  explicit Win32Services(UserMessages& messages)
      : PlatformServices(Services{files, volumes, processes, system, registry, messages,
                                  privateFiles, diskEvents},
                         trayHostEvents, focus) {}
};

}  // namespace

std::unique_ptr<PlatformServices> CreatePlatformServices(UserMessages& messages) {
  return std::make_unique<Win32Services>(messages);
}

}  // namespace quorvel

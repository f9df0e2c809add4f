#pragma once
// The services a program wires once at start-up and hands to the code that needs them,
// by reference: the one seam between the subsystems and the platform. Each backend has
// one factory, CreatePlatformServices; tests hand in fakes (platform/fake/) instead.

#include <memory>

#include "platform/disk_events.h"
#include "platform/files.h"
#include "platform/private_files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/tray_hosts.h"
#include "platform/user_messages.h"
#include "platform/volumes.h"
#include "platform/window_focus.h"

namespace quorvel {

// The services, as the subsystems take them. A copy refers to the same services.
struct Services {
  Files& files;
  Volumes& volumes;
  Processes& processes;
  SystemService& system;
  Registry& registry;  // the current user's own store
  UserMessages& messages;
  PrivateFiles& privateFiles;
  DiskEvents& diskEvents;  // wakes a window that shows a disk when the system saw a change
};

// The platform's own services for one run of a program; `services` and the desktop's
// services beside them refer to them as long as this object lives.
class PlatformServices {
 public:
  PlatformServices(const PlatformServices&) = delete;
  PlatformServices& operator=(const PlatformServices&) = delete;
  virtual ~PlatformServices() = default;

  const Services services;
  // What only a face needs of the desktop, wired into its own event loop: tray hosts
  // that appear, and the keyboard focus where the toolkit cannot give it.
  TrayHostEvents& trayHosts;
  WindowFocus& windowFocus;

 protected:
  PlatformServices(const Services& wired, TrayHostEvents& hosts, WindowFocus& focus)
      : services(wired), trayHosts(hosts), windowFocus(focus) {}
};

// The services of the platform the program was built for, with `messages` (a message
// box in the GUI, stderr in quorvelctl) as its user messages; `messages` must outlive
// them. The user's store is opened when it is first used, so a program that never
// reads its settings never touches it; opening it never fails (a store that cannot be
// read or is damaged is set aside, the user is told once through `messages`, and the
// store starts empty). What is still unwritten in the store is written when the
// services end.
std::unique_ptr<PlatformServices> CreatePlatformServices(UserMessages& messages);

}  // namespace quorvel

#pragma once
// Tray hosts on Linux: a new owner of the X tray selection _NET_SYSTEM_TRAY_S<screen>
// (XEmbed trays, announced by the MANAGER message on the root window), watched through
// a connection of its own to the X server, and a new StatusNotifierWatcher on the
// session bus (desktops with D-Bus status icons), watched through a connection of its
// own to the bus.

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/unique_handles.h"
#include "platform/tray_hosts.h"

namespace quorvel {

// Where the hosts are looked for. Tests point these elsewhere to see one kind alone.
struct LinuxTrayHostSources {
  // The X display ("" : $DISPLAY); none watched without one.
  std::string display;
  bool watchXEmbed = true;
  bool watchBus = true;
};

// Not thread-safe: one object serves the thread whose loop watches its sources.
class LinuxTrayHosts final : public TrayHostEvents {
 public:
  explicit LinuxTrayHosts(LinuxTrayHostSources sources = {});
  LinuxTrayHosts(const LinuxTrayHosts&) = delete;
  LinuxTrayHosts& operator=(const LinuxTrayHosts&) = delete;
  ~LinuxTrayHosts() override;

  std::vector<EventSource> Sources() override;
  bool Drain(std::intptr_t source) override;

  // Which kinds are watched (after Sources()).
  bool WatchesXEmbed() const { return x_ != nullptr; }
  bool WatchesBus() const { return bus_ != nullptr; }

 private:
  void WatchXEmbed();
  void WatchBus();
  bool DrainX();
  bool DrainBus();
  static int OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);

  LinuxTrayHostSources sources_;
  bool started_ = false;
  UniqueXcbConnection x_;
  std::uint32_t manager_ = 0;    // the atom MANAGER
  std::uint32_t selection_ = 0;  // the atom _NET_SYSTEM_TRAY_S<screen>
  UniqueBus bus_;
  sd_bus_slot* match_ = nullptr;
  bool appeared_ = false;  // set by the bus's callback while a Drain runs
};

}  // namespace quorvel

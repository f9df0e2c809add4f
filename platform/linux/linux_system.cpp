#include "platform/linux/linux_system.h"

#include <systemd/sd-bus.h>

#include <cstdint>

#include "platform/linux/unique_handles.h"

namespace quorvel {

namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

}  // namespace

// The desktop has no shell entry that a program could take over, and autorun is the
// desktop's own setting; both stay untouched.
bool LinuxSystem::SetSystemShell(bool /*install*/) { return false; }
bool LinuxSystem::SetCdromAutorun(std::uint32_t /*value*/) { return false; }

void LinuxSystem::PowerOff() {
  // sd_bus_open_system honours DBUS_SYSTEM_BUS_ADDRESS, which is how tests reach a
  // private bus.
  sd_bus* raw = nullptr;
  if (sd_bus_open_system(&raw) < 0) return;
  const UniqueBus bus(raw);

  // A logind that never answers must not hold the program, which has already closed
  // its window and is on its way out.
  const auto timeoutUs = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(kPowerOffTimeout).count());
  sd_bus_set_method_call_timeout(bus.get(), timeoutUs);

  // The argument false makes the call non-interactive: logind refuses instead of asking
  // for authentication. The refusal, like a missing logind, is ignored.
  BusError error;
  sd_bus_message* reply = nullptr;
  sd_bus_call_method(bus.get(), kLogindService, kLogindPath, kLogindManager, "PowerOff",
                     error.get(), &reply, "b", 0);
  const UniqueBusMessage replyOwner(reply);
}

}  // namespace quorvel

#include "platform/linux/linux_system.h"

#include <systemd/sd-bus.h>

#include <cstdint>

namespace quorvel {

namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

// Owns a bus connection; flushes and closes it on every way out.
struct BusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageDeleter {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
struct ScopedBusError {
  sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
  ~ScopedBusError() { sd_bus_error_free(&error); }
};

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
  std::unique_ptr<sd_bus, BusDeleter> bus(raw);

  // A logind that never answers must not hold the program, which has already closed
  // its window and is on its way out.
  const auto timeoutUs = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(kPowerOffTimeout).count());
  sd_bus_set_method_call_timeout(bus.get(), timeoutUs);

  // The argument false makes the call non-interactive: logind refuses instead of asking
  // for authentication. The refusal, like a missing logind, is ignored.
  ScopedBusError error;
  sd_bus_message* reply = nullptr;
  sd_bus_call_method(bus.get(), kLogindService, kLogindPath, kLogindManager, "PowerOff",
                     &error.error, &reply, "b", 0);
  std::unique_ptr<sd_bus_message, MessageDeleter> replyOwner(reply);
}

std::unique_ptr<SystemService> MakeSystemService() { return std::make_unique<LinuxSystem>(); }

}  // namespace quorvel

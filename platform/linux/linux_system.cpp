#include "platform/linux/linux_system.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/unique_handles.h"

namespace quorvel {

namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

}  // namespace

LinuxSystem::LinuxSystem() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  const std::string_view list =
      dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share";
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t end = list.find(':', start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) dataDirs_.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
}

// Asked each time the General page opens, so that installing or removing the package
// while the program runs shows at once.
SystemService::ShellEntry LinuxSystem::SystemShellEntry() const {
  for (const std::string& dir : dataDirs_) {
    const std::string entry = dir + "/xsessions/" + kSessionEntry;
    if (::access(entry.c_str(), R_OK) == 0) return ShellEntry::LoginSession;
  }
  return ShellEntry::None;
}

// The display manager's sessions are the system's, not the user's: the program writes
// none, the user picks the installed one at login. Autorun is the desktop's own
// setting. Both stay untouched.
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

// Power-off against a real D-Bus: a private bus daemon, with python3-dbusmock's logind
// template as systemd-logind, or with nothing (or a silent owner) in its place.

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/linux_system.h"
#include "support/child_process.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

constexpr auto kServiceStartLimit = 20s;
constexpr const char* kLogind = "org.freedesktop.login1";

// Whether `name` has an owner on the bus at `address`.
bool NameHasOwner(const std::string& address, const char* name) {
  sd_bus* bus = nullptr;
  if (sd_bus_new(&bus) < 0) return false;
  bool owned = false;
  if (sd_bus_set_address(bus, address.c_str()) >= 0 && sd_bus_set_bus_client(bus, 1) >= 0 &&
      sd_bus_start(bus) >= 0) {
    sd_bus_error error{};
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                           name) >= 0) {
      int has = 0;
      owned = sd_bus_message_read(reply, "b", &has) >= 0 && has != 0;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
  }
  sd_bus_flush_close_unref(bus);
  return owned;
}

bool WaitForName(const std::string& address, const char* name) {
  const auto end = std::chrono::steady_clock::now() + kServiceStartLimit;
  while (std::chrono::steady_clock::now() < end) {
    if (NameHasOwner(address, name)) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A private bus that stands in for the system bus of this test process.
class PrivateSystemBus : public ::testing::Test {
 protected:
  void SetUp() override {
    daemon_.emplace(std::vector<std::string>{"/usr/bin/dbus-daemon", "--session", "--nofork",
                                             "--print-address"},
                    std::vector<std::string>{}, true);
    ASSERT_TRUE(daemon_->started()) << "dbus-daemon is missing (package dbus)";
    address_ = daemon_->ReadLine();
    ASSERT_FALSE(address_.empty()) << "dbus-daemon printed no address";
    const char* old = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (old != nullptr) oldAddress_ = old;
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    dir_ =
        std::filesystem::temp_directory_path() / ("quorvel-poweroff-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (oldAddress_) {
      setenv("DBUS_SYSTEM_BUS_ADDRESS", oldAddress_->c_str(), 1);
    } else {
      unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
    std::filesystem::remove_all(dir_);
  }

  // Runs PowerOff and returns how long it took.
  std::chrono::steady_clock::duration TimedPowerOff() {
    LinuxSystem system;
    const auto start = std::chrono::steady_clock::now();
    system.PowerOff();
    return std::chrono::steady_clock::now() - start;
  }

  std::optional<ChildProcess> daemon_;
  std::string address_;
  std::optional<std::string> oldAddress_;
  std::filesystem::path dir_;
};

TEST_F(PrivateSystemBus, LogindReceivesExactlyOneNonInteractivePowerOff) {
  const auto log = dir_ / "logind.log";
  ChildProcess logind(
      {"/usr/bin/python3", "-m", "dbusmock", "--template", "logind", "-l", log.string()},
      {"DBUS_SYSTEM_BUS_ADDRESS=" + address_});
  ASSERT_TRUE(logind.started());
  ASSERT_TRUE(WaitForName(address_, kLogind)) << "the logind mock did not come up";

  TimedPowerOff();

  std::vector<std::string> powerOffs;
  for (const std::string& line : ReadLines(log)) {
    if (line.find("PowerOff") != std::string::npos) powerOffs.push_back(line);
  }
  ASSERT_EQ(powerOffs.size(), 1u);
  // Each line is "<time> <method> <arguments>".
  EXPECT_NE(powerOffs[0].find(" PowerOff False"), std::string::npos) << powerOffs[0];
}

TEST_F(PrivateSystemBus, MissingOrSilentLogindDoesNotHoldTheProgram) {
  // Nobody owns the name: the bus answers at once.
  EXPECT_LT(TimedPowerOff(), LinuxSystem::kPowerOffTimeout);

  // An owner that never answers: the call gives up after its time-out.
  ChildProcess silent({"/usr/bin/python3", "-c",
                       "import dbus, sys, time\n"
                       "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                       "bus.request_name(sys.argv[2])\n"
                       "time.sleep(120)\n",
                       address_, kLogind},
                      {});
  ASSERT_TRUE(WaitForName(address_, kLogind));
  const auto took = TimedPowerOff();
  EXPECT_GE(took, LinuxSystem::kPowerOffTimeout - 100ms);
  EXPECT_LT(took, LinuxSystem::kPowerOffTimeout + 5s);

  // No bus at all.
  setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (dir_ / "no-bus").string()).c_str(), 1);
  EXPECT_LT(TimedPowerOff(), LinuxSystem::kPowerOffTimeout);
}

TEST(LinuxSystemTest, WholeSessionIsTheInstalledSessionEntryAndNothingIsWritten) {
  // The session entry in the second of two data folders, as a package installs it in
  // /usr/share while /usr/local/share has none.
  const std::filesystem::path dirs =
      std::filesystem::temp_directory_path() / ("quorvel-sessions-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dirs / "local/xsessions");
  std::filesystem::create_directories(dirs / "share/xsessions");
  LinuxSystem system({(dirs / "local").string(), (dirs / "share").string()});
  EXPECT_EQ(system.SystemShellEntry(), SystemService::ShellEntry::None);
  const std::filesystem::path entry = dirs / "share/xsessions" / LinuxSystem::kSessionEntry;
  std::ofstream(entry) << "[Desktop Entry]\n";
  EXPECT_EQ(system.SystemShellEntry(), SystemService::ShellEntry::LoginSession);

  // Choosing it writes nothing: no shell entry, no autorun switch.
  EXPECT_FALSE(system.IsWindowsNT());
  EXPECT_FALSE(system.SetSystemShell(true));
  EXPECT_FALSE(system.SetSystemShell(false));
  EXPECT_FALSE(system.SetCdromAutorun(0));
  std::filesystem::remove(entry);
  EXPECT_EQ(system.SystemShellEntry(), SystemService::ShellEntry::None);
  std::filesystem::remove_all(dirs);

  // The default folders come from $XDG_DATA_DIRS.
  setenv("XDG_DATA_DIRS", (":" + (dirs / "share").string() + ":").c_str(), 1);
  std::filesystem::create_directories(dirs / "share/xsessions");
  std::ofstream(dirs / "share/xsessions" / LinuxSystem::kSessionEntry) << "[Desktop Entry]\n";
  EXPECT_EQ(LinuxSystem().SystemShellEntry(), SystemService::ShellEntry::LoginSession);
  unsetenv("XDG_DATA_DIRS");
  std::filesystem::remove_all(dirs);
}

}  // namespace
}  // namespace quorvel

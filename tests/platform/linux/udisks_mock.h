#pragma once
// udisks2 on a private D-Bus that stands in for the system bus: a dbus-daemon of the
// test's own and python3-dbusmock with the udisks2 template in tests/data/dbusmock,
// which mounts by writing into a mount table file of the test. The process's
// DBUS_SYSTEM_BUS_ADDRESS points at the private bus while the object lives.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "support/child_process.h"
#include "support/temp_tree.h"

namespace quorvel::testing {

class UdisksMock {
 public:
  static constexpr auto kStartTimeout = std::chrono::seconds(20);

  // `parameters` is the template's JSON object ("drive", "device", "mountinfo",
  // "mount_point", "refuse").
  UdisksMock(const TempTree& tree, const std::string& parameters)
      : address_("unix:path=" + tree.Path("system_bus")), log_(tree.Path("udisks.log")) {
    bus_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/dbus-daemon",
                                 "--config-file=/usr/share/dbus-1/session.conf",
                                 "--address=" + address_, "--nofork", "--nopidfile"},
        std::vector<std::string>{});
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    udisks_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--system", "-l", log_, "-t",
                                 std::string(QUORVEL_TEST_DATA) + "/dbusmock/udisks2.py", "-p",
                                 parameters},
        std::vector<std::string>{});
    const auto end = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < end) {
      if (std::system("dbus-send --system --print-reply --dest=org.freedesktop.UDisks2"
                      " /org/freedesktop/UDisks2/Manager org.freedesktop.DBus.Peer.Ping"
                      " >/dev/null 2>&1") == 0) {
        ready_ = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  UdisksMock(const UdisksMock&) = delete;
  UdisksMock& operator=(const UdisksMock&) = delete;
  ~UdisksMock() {
    udisks_.reset();
    bus_.reset();
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }

  bool Ready() const { return ready_; }
  const std::string& Address() const { return address_; }

  // The mock's log of method calls.
  std::string Log() const {
    std::ifstream in(log_);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // How many times `method` ("Mount", "Unmount") was called.
  int Calls(std::string_view method) const {
    std::istringstream lines(Log());
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
      // A refused call is logged twice: the call, then "Mount raised: ...".
      if (line.find(" " + std::string(method) + " ") != std::string::npos &&
          line.find(" raised: ") == std::string::npos) {
        ++count;
      }
    }
    return count;
  }

 private:
  std::string address_;
  std::string log_;
  std::unique_ptr<ChildProcess> bus_;
  std::unique_ptr<ChildProcess> udisks_;
  bool ready_ = false;
};

}  // namespace quorvel::testing

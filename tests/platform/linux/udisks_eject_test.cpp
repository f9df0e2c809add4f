// Ejecting a mounted medium asks udisks2 to unmount it first. udisks2 is played by
// python3-dbusmock on a private bus that stands in for the system bus.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "fake_machine.h"
#include "platform/linux/linux_volumes.h"

extern char** environ;

namespace quorvel {
namespace {

using testing::FakeMachine;
using testing::MountLine;
using testing::ShellQuote;

constexpr auto kStartTimeout = std::chrono::seconds(20);

// A child process, ended (SIGTERM, then waited for) with the object.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool Started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Retries `command` until it succeeds or the start-up time is over.
bool Eventually(const std::string& command) {
  const auto end = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < end) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(UdisksEject, UnmountsThroughUdisksBeforeOpeningTheTray) {
  FakeMachine machine;
  testing::TempTree& tree = machine.Tree();
  const std::string socket = tree.Path("bus");
  const std::string address = "unix:path=" + socket;
  Child bus({"/usr/bin/dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf",
             "--address=" + address, "--nofork", "--nopidfile"});
  ASSERT_TRUE(bus.Started());
  ASSERT_EQ(::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1), 0);
  const std::string log = tree.Path("udisks.log");
  Child udisks({"/usr/bin/python3", "-m", "dbusmock", "--system", "-l", log,
                "org.freedesktop.UDisks2", "/org/freedesktop/UDisks2/block_devices/sr0",
                "org.freedesktop.UDisks2.Filesystem"});
  ASSERT_TRUE(udisks.Started());
  ASSERT_TRUE(
      Eventually("dbus-send --system --print-reply --dest=org.freedesktop.UDisks2"
                 " /org/freedesktop/UDisks2/block_devices/sr0 org.freedesktop.DBus.Mock.AddMethod"
                 " string:org.freedesktop.UDisks2.Filesystem string:Unmount string:" +
                 ShellQuote("a{sv}") + " string: string:"));

  const std::string optical = tree.Folder("optical");
  const std::string fixed = tree.Folder("fixed");
  machine.Mounts(MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                 MountLine(30, "11:0", optical, "iso9660", "/dev/sr0") +
                 MountLine(31, "254:1", fixed, "ext4", "/dev/vda1"));
  LinuxVolumeSources sources;
  sources.mountInfo = tree.Path("mountinfo");
  sources.fstab = tree.Path("fstab");
  sources.devDir = tree.Path("dev");
  sources.useUdisks = true;
  LinuxVolumes volumes(sources);

  // A fixed disk is no optical drive: udisks2 hears nothing.
  EXPECT_FALSE(volumes.EjectMedia(fixed, true));
  EXPECT_EQ(ReadAll(log).find("Unmount"), std::string::npos);
  // Closing the tray unmounts nothing.
  EXPECT_FALSE(volumes.EjectMedia(optical, false));
  EXPECT_EQ(ReadAll(log).find("Unmount"), std::string::npos);
  // The medium of sr0 is unmounted through udisks2; the tray itself cannot open here,
  // as this machine has no /dev/sr0, so the result is still false.
  EXPECT_FALSE(volumes.EjectMedia(optical, true));
  EXPECT_NE(ReadAll(log).find("Unmount"), std::string::npos) << ReadAll(log);
  ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace quorvel

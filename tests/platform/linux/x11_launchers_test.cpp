// Launcher closing on a real X server (Xvfb, no window manager) with real launcher
// processes started from a test "disk" folder.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "fake_machine.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_volumes.h"
#include "playback/launchers.h"
#include "playback/process_list.h"
#include "process_test_support.h"

extern char** environ;

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

// Runs Xvfb on a display number it picks itself, and points DISPLAY at it.
class XvfbServer {
 public:
  XvfbServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",    "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                          "-screen", "0",          "320x240x24", nullptr};
    if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = 0;
    }
    close(fds[1]);
    std::string display;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    close(fds[0]);
    if (!display.empty()) {
      display_ = ":" + display;
      setenv("DISPLAY", display_.c_str(), 1);
    }
  }
  ~XvfbServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  bool running() const { return !display_.empty(); }

 private:
  pid_t pid_ = 0;
  std::string display_;
};

// One started copy of the launcher stand-in and what it recorded.
struct Launcher {
  fs::path record;
  unsigned pid = 0;

  int CloseRequests() const {
    std::string text = testing::ReadFileText(record);
    int count = 0;
    for (std::size_t at = text.find("close\n"); at != std::string::npos;
         at = text.find("close\n", at + 1)) {
      ++count;
    }
    return count;
  }
};

class X11LaunchersTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(xvfb.running()) << "Xvfb did not start"; }
  void TearDown() override {
    for (const auto& l : launchers) {
      if (l.pid != 0) kill(static_cast<pid_t>(l.pid), SIGKILL);
    }
  }

  Launcher Start(const fs::path& program, const char* mode) {
    Launcher launcher;
    launcher.record = folder.path() / ("record-" + std::to_string(launchers.size()));
    testing::CopyProgram(testing::TestProgram("x11_window"), program);
    StartPlayer(*processes, program.string(),
                std::string(mode) + " \"" + launcher.record.string() + "\"");
    EXPECT_TRUE(testing::WaitFor([&] {
      return testing::ReadFileText(launcher.record).rfind("ready ", 0) == 0;
    })) << program;
    launcher.pid =
        static_cast<unsigned>(std::atoi(testing::ReadFileText(launcher.record).c_str() + 6));
    launchers.push_back(launcher);
    // The service reuses its window list for a moment: wait until it shows the window.
    EXPECT_TRUE(testing::WaitFor([&] {
      return processes->FindTopLevelWindow(launcher.pid) != kNoWindow;
    })) << program;
    return launcher;
  }

  XvfbServer xvfb;
  TestFolder folder;
  std::unique_ptr<Processes> processes = CreateLinuxProcesses();
  std::unique_ptr<Volumes> volumes = std::make_unique<LinuxVolumes>();
  std::vector<Launcher> launchers;
};

TEST_F(X11LaunchersTest, ClosesLaunchersOnTheDiskAndKillsOneThatStays) {
  const fs::path disk = folder.path() / "disk";
  Launcher obeys = Start(disk / "autorun" / "launcher", "obey");
  Launcher stays = Start(disk / "stubborn", "ignore");
  Launcher outside = Start(folder.path() / "diskette" / "launcher", "obey");
  for (const auto& l : {obeys, stays, outside}) {
    EXPECT_NE(processes->FindTopLevelWindow(l.pid), kNoWindow);
  }

  ProcessList found = FindLaunchers(*processes, *volumes, disk.string());
  ASSERT_EQ(found.size(), 2u);
  CloseLaunchers(*processes, *volumes, disk.string() + "/");

  EXPECT_EQ(obeys.CloseRequests(), 1);
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(obeys.pid); }));
  EXPECT_EQ(stays.CloseRequests(), kCloseAttempts);
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(stays.pid); }));
  EXPECT_EQ(outside.CloseRequests(), 0);
  EXPECT_TRUE(testing::IsRunning(outside.pid));
  EXPECT_NE(processes->FindTopLevelWindow(outside.pid), kNoWindow);
}

TEST_F(X11LaunchersTest, WindowsThatAreGoneOrOutOfReachAreNotWaitedFor) {
  Launcher launcher = Start(folder.path() / "disk" / "launcher", "ignore");
  WindowHandle window = processes->FindTopLevelWindow(launcher.pid);
  ASSERT_NE(window, kNoWindow);

  // A window that no longer exists (the launcher was ended) is not waited for.
  ASSERT_TRUE(processes->Terminate(launcher.pid));
  ASSERT_TRUE(
      testing::WaitFor([&] { return processes->FindTopLevelWindow(launcher.pid) == kNoWindow; }));
  const auto start = std::chrono::steady_clock::now();
  processes->AskToClose(window, kCloseTimeout);
  processes->AskToClose(0x7FFFFFFF, kCloseTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kCloseTimeout);

  // Without a display no window is found: a launcher counts as closed and stays.
  Launcher other = Start(folder.path() / "disk" / "other", "obey");
  const std::string display = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  auto withoutDisplay = CreateLinuxProcesses();
  EXPECT_EQ(withoutDisplay->FindTopLevelWindow(other.pid), kNoWindow);
  CloseLaunchers(*withoutDisplay, *volumes, (folder.path() / "disk").string());
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_TRUE(testing::IsRunning(other.pid));
  EXPECT_EQ(other.CloseRequests(), 0);
}

TEST_F(X11LaunchersTest, ClosesThroughTheDrivesDeviceAndThroughALinkedMountFolder) {
  // The medium of /dev/sr0 is mounted on media/cdrom0 of a machine described by
  // files; media/cdrom links to it, as on Debian.
  testing::FakeMachine machine;
  const fs::path cdrom0 = machine.Disk("media/cdrom0", 0, "MOVIES");
  const fs::path link = machine.Tree().Path("media/cdrom");
  fs::create_directory_symlink("cdrom0", link);
  LinuxVolumes fakeVolumes = machine.Volumes();
  Launcher outside = Start(machine.Tree().Path("media/cdrom1/launcher"), "obey");

  Launcher fromDevice = Start(cdrom0 / "autorun" / "launcher", "obey");
  CloseLaunchers(*processes, fakeVolumes, "/dev/sr0");
  EXPECT_EQ(fromDevice.CloseRequests(), 1);
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(fromDevice.pid); }));

  // Started through the link, the launcher's executable is still the real path.
  Launcher throughLink = Start(link / "setup", "obey");
  CloseLaunchers(*processes, fakeVolumes, link.string());
  EXPECT_EQ(throughLink.CloseRequests(), 1);
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(throughLink.pid); }));

  // Nothing mounted from the device: no disk, nothing closed.
  Launcher stays = Start(cdrom0 / "stays", "obey");
  machine.Mounts(testing::MountLine(26, "0:99999", "/", "ext4", "/dev/vda"));
  LinuxVolumes unmounted = machine.Volumes();
  CloseLaunchers(*processes, unmounted, "/dev/sr0");
  EXPECT_EQ(stays.CloseRequests(), 0);
  EXPECT_TRUE(testing::IsRunning(stays.pid));
  EXPECT_EQ(outside.CloseRequests(), 0);
  EXPECT_TRUE(testing::IsRunning(outside.pid));
}

TEST_F(X11LaunchersTest, UsesTheWindowManagersClientListWhenThereIsOne) {
  Launcher listed = Start(folder.path() / "disk" / "listed", "obey");
  Launcher unlisted = Start(folder.path() / "disk" / "unlisted", "obey");
  const WindowHandle window = processes->FindTopLevelWindow(listed.pid);
  ASSERT_NE(window, kNoWindow);
  ASSERT_NE(processes->FindTopLevelWindow(unlisted.pid), kNoWindow);

  // Stand in for a window manager that keeps a client list with only one window.
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ASSERT_EQ(xcb_connection_has_error(c), 0);
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const char name[] = "_NET_CLIENT_LIST";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
  ASSERT_NE(atom, nullptr);
  auto listedWindow = static_cast<xcb_window_t>(window);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1,
                      &listedWindow);
  std::free(atom);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  xcb_disconnect(c);

  auto withManager = CreateLinuxProcesses();
  EXPECT_EQ(withManager->FindTopLevelWindow(listed.pid), window);
  EXPECT_EQ(withManager->FindTopLevelWindow(unlisted.pid), kNoWindow);
}

TEST_F(X11LaunchersTest, QuorvelctlListsAndClosesLaunchers) {
  const fs::path disk = folder.path() / "disk";
  Launcher launcher = Start(disk / "launcher", "obey");

  testing::RunResult list =
      testing::RunProgram({testing::Quorvelctl(), "processes", "--json"}, folder.path());
  ASSERT_EQ(list.status, 0) << list.err;
  bool listed = false;
  for (const auto& entry : nlohmann::json::parse(list.out)) {
    if (entry["pid"] != launcher.pid) continue;
    listed = true;
    EXPECT_EQ(entry["modulePath"], (disk / "launcher").string());
    EXPECT_FALSE(entry["window"].is_null());
  }
  EXPECT_TRUE(listed);

  testing::RunResult dry = testing::RunProgram(
      {testing::Quorvelctl(), "close-launchers", "--dry-run", disk.string()}, folder.path());
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out.rfind(std::to_string(launcher.pid) + "\t", 0), 0u) << dry.out;
  EXPECT_EQ(launcher.CloseRequests(), 0);

  // The root of the whole tree would hold every program: it closes nothing. A link
  // to the disk folder stands for the folder.
  testing::RunResult everything = testing::RunProgram(
      {testing::Quorvelctl(), "close-launchers", "--dry-run", "/"}, folder.path());
  ASSERT_EQ(everything.status, 0) << everything.err;
  EXPECT_EQ(everything.out, "");
  EXPECT_EQ(launcher.CloseRequests(), 0);
  fs::create_directory_symlink(disk, folder.path() / "cdrom");
  testing::RunResult closed = testing::RunProgram(
      {testing::Quorvelctl(), "close-launchers", (folder.path() / "cdrom").string()},
      folder.path());
  ASSERT_EQ(closed.status, 0) << closed.err;
  EXPECT_EQ(closed.out.rfind("closed\t" + std::to_string(launcher.pid) + "\t", 0), 0u)
      << closed.out;
  EXPECT_EQ(launcher.CloseRequests(), 1);
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(launcher.pid); }));
}

}  // namespace
}  // namespace quorvel

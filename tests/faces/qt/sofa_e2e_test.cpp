// The living room from the sofa, end to end, with nothing but keys: the "Quorvel" login
// session started as a display manager starts it (the session entry's command, a fresh
// home, no store, an ordinary user, a session bus and a system bus with logind), on its
// own X server, with a real player on the search path and the session's window manager.
// A disk image mounted with fuseiso appears in the first optical drive (the default
// configuration), Enter plays it in a window that covers the screen, the player ends by
// itself, and the next keys work without anyone touching the focus: the next movie, a
// held Play key that starts one player, the options sheet, and Q, which ends the session
// and, with "Shutdown" set, powers off through logind.
//
// Run as root (as the tests are here), the session runs as the user "nobody", as a
// display manager would never run it as root (and VLC refuses to run as root).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/fuseiso_mount.h"
#include "support/temp_tree.h"
#include "support/xvfb.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr auto kLimit = 20s;
constexpr uid_t kNobody = 65534;

struct SofaPlayer {
  const char* name;     // as detection names it
  const char* program;  // on the search path
  const char* windowClass;
  bool shutdown;  // "Shutdown" set before the start: Q powers off
};

// Names the player in the listing of the tests.
void PrintTo(const SofaPlayer& player, std::ostream* out) { *out << player.name; }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = kLimit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// The command of the display manager's session entry (its Exec line).
std::string SessionCommand() {
  std::istringstream entry(ReadText(QUORVEL_SOURCE_DIR "/packaging/linux/quorvel-session.desktop"));
  for (std::string line; std::getline(entry, line);) {
    if (line.rfind("Exec=", 0) == 0) return line.substr(5);
  }
  return "";
}

// A running process of this machine.
struct Process {
  pid_t pid;
  uid_t uid;
  std::string exe;                // file name of the executable
  std::vector<std::string> args;  // argv
  std::string environment;        // NUL-separated
};

std::vector<Process> Processes() {
  std::vector<Process> processes;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    struct stat info {};
    if (::stat(entry.path().c_str(), &info) != 0) continue;
    std::error_code error;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", error);
    if (error) continue;
    Process process{std::stoi(name), info.st_uid, exe.filename().string(), {}, {}};
    std::istringstream cmdline(ReadText(entry.path() / "cmdline"));
    for (std::string arg; std::getline(cmdline, arg, '\0');) process.args.push_back(arg);
    process.environment = ReadText(entry.path() / "environ");
    processes.push_back(std::move(process));
  }
  return processes;
}

class SofaTest : public ::testing::TestWithParam<SofaPlayer> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb_.Running()) << "Xvfb did not start (package xvfb)";
    asNobody_ = ::geteuid() == 0;
    user_ = asNobody_ ? kNobody : ::geteuid();
    fs::permissions(tree_.Root(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    home_ = UserFolder("home");
    if (std::string(GetParam().program) == "vlc") {
      // Xvfb has no graphics card, and VLC's OpenGL output on Mesa's software renderer
      // hangs now and then: VLC's own setting (not Quorvel's) makes it use its plain X11
      // output, as a user of such a machine would set it.
      fs::create_directories(home_ / ".config" / "vlc");
      tree_.File("home/.config/vlc/vlcrc", "[core]\nvout=xcb_x11\n");
      for (const fs::path& owned :
           {home_ / ".config", home_ / ".config" / "vlc", home_ / ".config" / "vlc" / "vlcrc"}) {
        Own(owned);
      }
    }
    runtime_ = UserFolder("runtime");
    fs::permissions(runtime_, fs::perms::owner_all);
    buses_ = UserFolder("buses");
    log_ = tree_.Path("session.log");
    tree_.File("session.log", "");
    Own(log_);

    // The programs: quorvel and the session script where a package puts them (one
    // folder on the search path), quorvel a link to a copy under a name of this test's
    // own, so that no other copy of quorvel on the machine counts as this one; then the
    // system's programs, as a session's search path has them, but of the players only
    // the one under test.
    const std::string bin = tree_.Folder("bin");
    const std::string program = tree_.Path("quorvel-sofa-" + std::to_string(::getpid()));
    fs::copy_file(QUORVEL_BINARY_DIR "/quorvel/quorvel", program);
    fs::create_symlink(program, bin + "/quorvel");
    fs::copy_file(QUORVEL_SOURCE_DIR "/packaging/linux/quorvel-session", bin + "/quorvel-session");
    // The session's user may not reach into the build folder (a checkout in a private
    // folder): its quorvelctl is a copy too.
    quorvelctl_ = bin + "/quorvelctl";
    fs::copy_file(QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl", quorvelctl_);
    const std::string tools = tree_.Folder("tools");
    const std::set<std::string> left = {
        "mpv",    "vlc",       "cvlc",    "smplayer",   "mplayer",
        "haruna", "celluloid", "quorvel", "quorvelctl", "quorvel-session"};
    for (const auto& entry : fs::directory_iterator("/usr/bin")) {
      const std::string name = entry.path().filename().string();
      if (left.count(name) == 0 || name == GetParam().program) {
        fs::create_symlink(entry.path(), tools + "/" + name);
      }
    }
    ASSERT_TRUE(fs::exists(tools + "/" + GetParam().program))
        << GetParam().program << " is part of the set-up";
    ASSERT_TRUE(fs::exists(tools + "/openbox")) << "openbox is part of the set-up";
    path_ = bin + ":" + tools;

    // A machine with one optical drive, sr0, empty.
    machine_ = tree_.Folder("machine");
    tree_.Folder("machine/dev");
    tree_.Folder("machine/udev");
    tree_.File("machine/dev/sr0", "");
    tree_.File("machine/fstab", "");
    tree_.File("machine/mountinfo", kRootMount);

    // The disk: three movies of four seconds, in an ISO 9660 image.
    const std::string source = tree_.Folder("disk");
    for (const char* movie : {"harbour", "beach", "lighthouse"}) {
      ASSERT_TRUE(testing::RunCommand(
          "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=4"
          " -c:v mpeg4 -vtag DIVX " +
          testing::ShellQuote(source + "/" + movie + ".avi")))
          << "ffmpeg made no movie";
    }
    image_ = tree_.Path("sofa.iso");
    ASSERT_TRUE(testing::MakeIsoImage(source, "SOFA NIGHT", image_));
    // The next disk: one of those movies, under another label.
    const std::string next = tree_.Folder("next");
    fs::copy_file(source + "/beach.avi", next + "/beach.avi");
    nextImage_ = tree_.Path("next.iso");
    ASSERT_TRUE(testing::MakeIsoImage(next, "NEXT DISK", nextImage_));

    // The session's buses: its own, and a system bus with logind. Neither starts
    // services on demand (a session's accessibility bus, say, which would take its time
    // to fail here): what is not running is not there.
    sessionBus_ = "unix:path=" + buses_.string() + "/session";
    systemBus_ = "unix:path=" + buses_.string() + "/system";
    for (const char* bus : {"session", "system"}) {
      const std::string socket = buses_.string() + "/" + bus;
      const std::string config = tree_.File(
          std::string(bus) + ".conf", std::string(kBusConfigHead) + "<listen>unix:path=" + socket +
                                          "</listen>" + kBusConfigTail);
      daemons_.push_back(std::make_unique<ChildProcess>(
          AsUser({"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile"}),
          std::vector<std::string>{}));
      ASSERT_TRUE(WaitFor([&] { return fs::exists(socket); })) << "dbus-daemon did not start";
    }
    logind_ = std::make_unique<ChildProcess>(
        AsUser({"/usr/bin/env", "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus_, "/usr/bin/python3", "-m",
                "dbusmock", "--template", "logind", "-l", (buses_ / "logind.log").string()}),
        std::vector<std::string>{});
    ASSERT_TRUE(WaitFor([&] {
      ChildProcess ping(AsUser({"/usr/bin/dbus-send", "--bus=" + systemBus_, "--print-reply",
                                "--dest=org.freedesktop.login1", "/org/freedesktop/login1",
                                "org.freedesktop.DBus.Peer.Ping"}),
                        {"DBUS_SESSION_BUS_ADDRESS=" + sessionBus_});
      return ping.WaitExit(10s) == 0;
    })) << "the logind mock did not come up (package python3-dbusmock)";
  }

  void TearDown() override {
    session_.reset();
    if (!mountPoint_.empty())
      testing::RunCommand("fusermount -uz " + testing::ShellQuote(mountPoint_));
    logind_.reset();
    daemons_.clear();
  }

  // A folder the session's user owns.
  fs::path UserFolder(const std::string& name) {
    const fs::path folder = tree_.Folder(name);
    Own(folder);
    return folder;
  }
  void Own(const fs::path& path) const {
    if (asNobody_) {
      EXPECT_EQ(::chown(path.c_str(), kNobody, kNobody), 0) << path;
    }
  }
  std::vector<std::string> AsUser(std::vector<std::string> argv) const {
    if (asNobody_) {
      argv.insert(argv.begin(),
                  {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    return argv;
  }

  // The session's environment, as a display manager hands it over: nothing of the
  // test's own.
  std::vector<std::string> SessionEnvironment() const {
    return {"HOME=" + home_.string(), "USER=nobody", "LOGNAME=nobody", "SHELL=/bin/sh",
            "PATH=" + path_, "LANG=C.UTF-8", "DISPLAY=" + xvfb_.Display(), "XDG_SESSION_TYPE=x11",
            "XDG_RUNTIME_DIR=" + runtime_.string(), "DBUS_SESSION_BUS_ADDRESS=" + sessionBus_,
            "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus_,
            // The machine's drives, described by files, as the other end-to-end tests do.
            "QUORVEL_VOLUME_SOURCES=" + machine_};
  }

  // Runs a program of the session's user with the session's environment; its status.
  std::optional<int> RunAsUser(const std::vector<std::string>& argv) {
    std::vector<std::string> command = {"/usr/bin/env", "-i"};
    for (const std::string& variable : SessionEnvironment()) command.push_back(variable);
    command.insert(command.end(), argv.begin(), argv.end());
    ChildProcess child(AsUser(command), {});
    return child.WaitExit(kLimit);
  }

  // Starts the session entry's command through the shell, as the display manager's
  // session script does, with no input and its output in the session log.
  void StartSession() {
    const std::string exec = SessionCommand();
    ASSERT_EQ(exec, "quorvel-session");
    std::vector<std::string> command = {"/usr/bin/env", "-i"};
    for (const std::string& variable : SessionEnvironment()) command.push_back(variable);
    command.insert(command.end(),
                   {"/bin/sh", "-c", "exec </dev/null >>" + log_ + " 2>&1; exec " + exec});
    session_ = std::make_unique<ChildProcess>(AsUser(command), std::vector<std::string>{});
  }

  // Runs an X tool on the session's display; every line it printed.
  std::vector<std::string> XLines(const std::vector<std::string>& argv) {
    std::string command = "DISPLAY=" + xvfb_.Display() + " /usr/bin/timeout 20";
    for (const std::string& arg : argv) command += " " + testing::ShellQuote(arg);
    std::vector<std::string> lines;
    FILE* output = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (output == nullptr) return lines;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
      text.append(buffer, n);
    ::pclose(output);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The first line it printed.
  std::string X(const std::vector<std::string>& argv) {
    const std::vector<std::string> lines = XLines(argv);
    return lines.empty() ? std::string() : lines.front();
  }
  // Keys through the X server, to whichever window has the keyboard.
  void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"/usr/bin/xdotool", "key", "--delay", "150"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    X(argv);
  }
  std::string FocusedWindow() { return X({"/usr/bin/xdotool", "getwindowfocus"}); }

  // Where the window `id` is on the screen: x, y, width, height.
  std::vector<int> Geometry(const std::string& id) {
    std::vector<int> geometry(4, -1);
    for (const std::string& line : XLines({"/usr/bin/xwininfo", "-id", id})) {
      const auto value = [&line](const char* label) {
        const std::size_t at = line.find(label);
        return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + std::strlen(label));
      };
      if (line.find("Absolute upper-left X:") != std::string::npos) {
        geometry[0] = value("X:");
      } else if (line.find("Absolute upper-left Y:") != std::string::npos) {
        geometry[1] = value("Y:");
      } else if (line.find("Width:") != std::string::npos) {
        geometry[2] = value("Width:");
      } else if (line.find("Height:") != std::string::npos) {
        geometry[3] = value("Height:");
      }
    }
    return geometry;
  }

  // The colour of one pixel of the screen, "#RRGGBB".
  std::string Pixel(int x, int y) {
    const std::vector<std::string> lines =
        XLines({"/usr/bin/import", "-display", xvfb_.Display(), "-window", "root", "-crop",
                "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-depth", "8", "txt:-"});
    for (const std::string& line : lines) {
      const std::size_t hash = line.find('#');
      if (line.rfind("0,0:", 0) == 0 && hash != std::string::npos) return line.substr(hash, 7);
    }
    return "";
  }

  // The session's player processes that play `movie`.
  // This test's players: the program under test, run by the session's user, with a
  // file of this test's own tree on its command line (another test may play a movie
  // of the same name at the same time).
  bool OursPlaying(const Process& process, const std::string& movie) const {
    if (process.uid != user_ || process.exe != GetParam().program) return false;
    return std::any_of(process.args.begin(), process.args.end(), [&](const std::string& arg) {
      return arg.find(tree_.Root()) != std::string::npos && arg.find(movie) != std::string::npos;
    });
  }
  std::vector<pid_t> Players(const std::string& movie) {
    std::vector<pid_t> players;
    for (const Process& process : Processes()) {
      if (OursPlaying(process, movie)) players.push_back(process.pid);
    }
    return players;
  }
  bool PlayerRuns() {
    const std::vector<Process> processes = Processes();
    return std::any_of(processes.begin(), processes.end(),
                       [&](const Process& process) { return OursPlaying(process, ""); });
  }
  // The drive's medium: mounted with fuseiso at `point`, and described as sr0's. As in
  // the kernel's table, the mount is listed only while its files can be read: a poll
  // between the two steps would otherwise find an empty folder at the drive's mount
  // point, a disk without movies, and the same label once the files came.
  void Mount(const std::string& image, const std::string& point) {
    ASSERT_TRUE(testing::RunCommand("fuseiso " + testing::ShellQuote(image) + " " +
                                    testing::ShellQuote(point) +
                                    (asNobody_ ? " -o allow_other" : "")))
        << "fuseiso did not mount the image (packages fuseiso, fuse)";
    mountPoint_ = point;
    tree_.File("machine/mountinfo.new", std::string(kRootMount) + "100 1 11:0 / " + point +
                                            " rw - iso9660 " + machine_ + "/dev/sr0 ro\n");
    fs::rename(machine_ + "/mountinfo.new", machine_ + "/mountinfo");
  }
  void Unmount() {
    if (mountPoint_.empty()) return;
    tree_.File("machine/mountinfo.new", kRootMount);
    fs::rename(machine_ + "/mountinfo.new", machine_ + "/mountinfo");
    testing::RunCommand("fusermount -u " + testing::ShellQuote(mountPoint_));
    mountPoint_.clear();
  }
  bool Viewable(const std::string& window) {
    for (const std::string& line : XLines({"/usr/bin/xwininfo", "-id", window})) {
      if (line.find("Map State:") != std::string::npos) {
        return line.find("IsViewable") != std::string::npos;
      }
    }
    return false;
  }

  // Whether the session's window manager runs on the session's display.
  bool WindowManagerRuns() {
    const std::string display = "DISPLAY=" + xvfb_.Display() + '\0';
    for (const Process& process : Processes()) {
      if (process.exe == "openbox" && process.uid == user_ &&
          process.environment.find(display) != std::string::npos) {
        return true;
      }
    }
    return false;
  }

  // Plays `movie`: waits until its player runs and its window covers the screen, then
  // until it has ended by itself and the television window has the keyboard again.
  void WatchPlayback(const std::string& movie, const std::string& television) {
    ASSERT_TRUE(WaitFor([&] { return Players(movie).size() == 1; }))
        << movie << " was not played; the session's log:\n"
        << ReadText(log_);
    // A player may try several video outputs, each with a window of its own, before one
    // stays: the one that stays covers the screen.
    EXPECT_TRUE(WaitFor(
        [&] {
          for (const std::string& window : XLines({"/usr/bin/xdotool", "search", "--onlyvisible",
                                                   "--class", GetParam().windowClass})) {
            if (Geometry(window) == std::vector<int>{0, 0, kScreenWidth, kScreenHeight}) {
              return true;
            }
          }
          return false;
        },
        3s))
        << "the player's window does not cover the screen";
    EXPECT_TRUE(WaitFor([&] { return Players(movie).empty(); }))
        << "the player did not end by itself";
    EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == television; }, 5s))
        << "the television window does not have the keyboard again";
  }

  static constexpr const char* kRootMount = "26 1 0:99999 / / rw - ext4 /dev/vda rw\n";
  static constexpr const char* kBusConfigHead =
      "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
      "<busconfig><type>session</type><auth>EXTERNAL</auth>\n";
  static constexpr const char* kBusConfigTail =
      "\n<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
      "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";

  testing::Xvfb xvfb_{std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24"};
  testing::TempTree tree_;
  bool asNobody_ = false;
  uid_t user_ = 0;
  fs::path home_;
  fs::path runtime_;
  fs::path buses_;
  std::string log_;
  std::string path_;
  std::string quorvelctl_;
  std::string machine_;
  std::string image_;
  std::string nextImage_;
  std::string sessionBus_;
  std::string systemBus_;
  std::vector<std::unique_ptr<ChildProcess>> daemons_;
  std::unique_ptr<ChildProcess> logind_;
  std::unique_ptr<ChildProcess> session_;
  std::string mountPoint_;
};

TEST_P(SofaTest, FromAFreshHomeToOffWithKeysAlone) {
  const SofaPlayer& player = GetParam();
  if (player.shutdown) {
    // The only value in the store: no player yet.
    ASSERT_EQ(RunAsUser({quorvelctl_, "settings", "set", "Shutdown=1"}), 0);
  }
  StartSession();
  const std::string television =
      X({"/usr/bin/xdotool", "search", "--sync", "--name", "^Quorvel Full Screen$"});
  ASSERT_FALSE(television.empty()) << "the television window did not appear:\n" << ReadText(log_);
  EXPECT_TRUE(WindowManagerRuns()) << "the session started no window manager";
  EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == television; }, 5s))
      << "the television window does not have the keyboard";
  EXPECT_EQ(Geometry(television), (std::vector<int>{0, 0, kScreenWidth, kScreenHeight}));

  // The first start found the player and chose it for every kind of movie.
  const fs::path store = home_ / ".config" / "quorvel" / "registry.reg";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(store); }));
  const std::string stored = ReadText(store);
  EXPECT_NE(stored.find("\"DivX Player\"=\"" + std::string(player.name) + "\""), std::string::npos)
      << stored;
  EXPECT_NE(stored.find("Quorvel\\Players\\" + std::string(player.name) + "]"), std::string::npos)
      << stored;

  // "No Disk": the movie list is empty.
  const int rowX = kScreenWidth / 10;
  const int rowY = kScreenHeight * 187 / 1000 + 10;
  EXPECT_EQ(Pixel(rowX, rowY), "#000040") << "the empty list before the disk";

  // The disk comes: the drive's medium mounted, as the system mounts it (for another
  // user than the one who mounts it, FUSE wants allow_other).
  const std::string point = tree_.Folder("media/sofa");
  tree_.File("machine/udev/b11:0", "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=SOFA\\x20NIGHT\n");
  Mount(image_, point);
  if (HasFatalFailure()) return;

  // The movie list shows "Play all movie files" selected, in the theme's highlight: the
  // disk is on the screen.
  ASSERT_TRUE(WaitFor([&] { return Pixel(rowX, rowY) == "#000000"; }))
      << "the disk did not appear on the screen";

  // The movies in the order the screen lists them.
  std::vector<std::string> movies;
  {
    ChildProcess read({QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl", "read", "--json", point},
                      {"XDG_CONFIG_HOME=" + tree_.Folder("ctl")}, true);
    std::string text;
    for (std::string line = read.ReadLine(); !line.empty(); line = read.ReadLine()) text += line;
    read.WaitExit(kLimit);
    const nlohmann::json disk = nlohmann::json::parse(text, nullptr, false);
    ASSERT_TRUE(disk.contains("movies")) << text;
    for (const auto& movie : disk["movies"]) {
      movies.push_back(fs::path(movie["file"].get<std::string>()).filename().string());
    }
    ASSERT_EQ(movies.size(), 3u) << text;
  }

  // Left to the movies, Down to the first one, Right back to the choices, Enter on Play.
  Keys({"Left", "Down", "Right", "Return"});
  WatchPlayback(movies[0], television);
  if (HasFatalFailure()) return;

  // Nobody touched the focus: Down and P play the next movie.
  Keys({"Left", "Down", "p"});
  WatchPlayback(movies[1], television);
  if (HasFatalFailure()) return;

  // Play held down for a second and a half starts one player.
  X({"/usr/bin/xdotool", "keydown", "XF86AudioPlay", "sleep", "1.5", "keyup", "XF86AudioPlay"});
  std::set<pid_t> started;
  WaitFor(
      [&] {
        for (pid_t pid : Players(movies[1])) started.insert(pid);
        return false;
      },
      1s);
  EXPECT_EQ(started.size(), 1u) << "a held Play key started more than one player";
  // Held over the player's start, the key's repeats may reach the player as well, and mpv
  // pauses on Play: the player is ended as its own Stop would end it, and the window has
  // the keyboard again.
  for (pid_t pid : started) ::kill(pid, SIGTERM);
  EXPECT_TRUE(WaitFor([&] { return Players(movies[1]).empty(); })) << "the player did not end";
  EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == television; }, 5s))
      << "the television window does not have the keyboard again";

  // O opens the options sheet, Escape closes it.
  Keys({"o"});
  const std::string sheet =
      X({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--name", "^Quorvel Options$"});
  ASSERT_FALSE(sheet.empty()) << "the options sheet did not open";
  EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == sheet; }, 5s));
  Keys({"Escape"});
  EXPECT_TRUE(WaitFor([&] {
    return X({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Quorvel Options$"})
        .empty();
  })) << "Escape did not close the options sheet";
  EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == television; }, 5s));
  EXPECT_FALSE(PlayerRuns());

  // Escape: the session has no tray, so the window is minimised (the window manager takes
  // it off the screen). The next disk brings it back, with the keyboard.
  Keys({"Escape"});
  EXPECT_TRUE(WaitFor([&] { return !Viewable(television); })) << "Escape left the window";
  Unmount();
  const std::string nextPoint = tree_.Folder("media/next");
  tree_.File("machine/udev/b11:0", "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=NEXT\\x20DISK\n");
  Mount(nextImage_, nextPoint);
  EXPECT_TRUE(WaitFor([&] { return Viewable(television); }))
      << "the next disk did not bring it back";
  EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == television; }, 5s));
  EXPECT_TRUE(WaitFor([&] { return Pixel(rowX, rowY) == "#000000"; })) << "the next disk's movie";

  // Q: "Off". The session ends, and powers the machine off where "Shutdown" is set.
  Keys({"q"});
  EXPECT_EQ(session_->WaitExit(kLimit), 0) << ReadText(log_);
  session_.reset();
  const std::string calls = ReadText(buses_ / "logind.log");
  int count = 0;
  for (std::size_t at = calls.find(" PowerOff "); at != std::string::npos;
       at = calls.find(" PowerOff ", at + 1)) {
    ++count;
  }
  if (player.shutdown) {
    EXPECT_EQ(count, 1) << calls;
    EXPECT_NE(calls.find(" PowerOff False"), std::string::npos) << calls;
  } else {
    EXPECT_EQ(count, 0) << calls;
  }
}

INSTANTIATE_TEST_SUITE_P(Players, SofaTest,
                         ::testing::Values(SofaPlayer{"mpv", "mpv", "mpv", false},
                                           SofaPlayer{"VLC", "vlc", "vlc", true}),
                         [](const ::testing::TestParamInfo<SofaPlayer>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace quorvel

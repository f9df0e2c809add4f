#include "platform/linux/linux_processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/linux/instance_lock.h"
#include "platform/linux/unique_handles.h"
#include "windows_rules/windows_command_line.h"

extern char** environ;

namespace quorvel {

namespace {

// How long one reading of the windows and their owners answers FindTopLevelWindow.
constexpr std::chrono::milliseconds kWindowListLifetime{200};
// How long after a failed connection to the X display the next try waits.
constexpr std::chrono::seconds kReconnectDelay{2};
// How often AskToClose looks whether the window has gone.
constexpr std::chrono::milliseconds kClosePollInterval{20};
// Where a program without a folder is looked for when PATH is not set.
constexpr const char* kDefaultSearchPath = "/usr/local/bin:/usr/bin:/bin";
// What the kernel appends to /proc/PID/exe when the executable was removed.
constexpr std::string_view kDeletedSuffix = " (deleted)";

bool DebugEnabled() {
  static const bool enabled = std::getenv("QUORVEL_DEBUG") != nullptr;
  return enabled;
}

void Debug(const char* text) {
  if (DebugEnabled()) std::fprintf(stderr, "processes: %s\n", text);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file to run for `program`: itself when it names a folder, else the first
// executable file of that name on the search path. Resolved before forking, so that
// the forked child calls nothing that allocates.
bool ResolveProgram(const std::string& program, std::string& path, int& error) {
  if (program.empty()) {
    error = ENOENT;
    return false;
  }
  if (program.find('/') != std::string::npos) {
    path = program;
    return true;
  }
  const char* env = std::getenv("PATH");
  std::string_view searchPath = env != nullptr && *env != '\0' ? env : kDefaultSearchPath;
  error = ENOENT;
  while (true) {
    std::size_t colon = searchPath.find(':');
    std::string_view folder = searchPath.substr(0, colon);
    std::string candidate = folder.empty() ? "." : std::string(folder);
    candidate += '/';
    candidate += program;
    if (IsExecutableFile(candidate)) {
      path = std::move(candidate);
      return true;
    }
    if (access(candidate.c_str(), F_OK) == 0) error = EACCES;
    if (colon == std::string_view::npos) break;
    searchPath.remove_prefix(colon + 1);
  }
  return false;
}

// The target of /proc/PID/exe; false when it cannot be read.
bool ReadExeLink(ProcessId id, std::string& target) {
  char link[32];
  std::snprintf(link, sizeof link, "/proc/%u/exe", id);
  std::string buffer(256, '\0');
  while (true) {
    ssize_t n = readlink(link, buffer.data(), buffer.size());
    if (n <= 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  if (buffer.size() > kDeletedSuffix.size() &&
      buffer.compare(buffer.size() - kDeletedSuffix.size(), kDeletedSuffix.size(),
                     kDeletedSuffix) == 0) {
    buffer.resize(buffer.size() - kDeletedSuffix.size());
  }
  target = std::move(buffer);
  return true;
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The short name the kernel keeps for a process; false when it has gone.
bool ReadComm(ProcessId id, std::string& name) {
  char file[32];
  std::snprintf(file, sizeof file, "/proc/%u/comm", id);
  const UniqueFd fd(open(file, O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  char buffer[64];
  const ssize_t n = read(fd.get(), buffer, sizeof buffer);
  if (n <= 0) return false;
  std::size_t length = static_cast<std::size_t>(n);
  if (buffer[length - 1] == '\n') --length;
  name.assign(buffer, length);
  return true;
}

struct FileActions {
  posix_spawn_file_actions_t actions;
  FileActions() { posix_spawn_file_actions_init(&actions); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
};

struct SpawnAttributes {
  posix_spawnattr_t attributes;
  SpawnAttributes() { posix_spawnattr_init(&attributes); }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

// One connection to the X server, made when first needed and made again after the
// server went away. Without a display no window is ever found.
class X11Windows {
 public:
  ~X11Windows() { Disconnect(); }

  WindowHandle FindWindow(ProcessId id) {
    if (!Connect()) return kNoWindow;
    // A process list asks once per process: the windows and their owners are read in
    // one go and reused for a moment, instead of two round trips per process.
    const auto now = std::chrono::steady_clock::now();
    if (!owners_ || now - ownersTime_ > kWindowListLifetime) {
      ReadOwners();
      ownersTime_ = now;
    }
    if (!owners_) return kNoWindow;
    for (const auto& [window, pid] : *owners_) {
      if (pid == id) return window;
    }
    return kNoWindow;
  }

  void AskToClose(WindowHandle handle, std::chrono::milliseconds timeout) {
    if (handle == kNoWindow || !Connect()) return;
    owners_.reset();  // whatever is asked next must see the windows as they are then
    auto window = static_cast<xcb_window_t>(handle);
    if (!Exists(window)) return;
    if (SupportsDeleteWindow(window)) {
      Debug("asking with WM_DELETE_WINDOW");
      xcb_client_message_event_t event{};
      event.response_type = XCB_CLIENT_MESSAGE;
      event.format = 32;
      event.window = window;
      event.type = ewmh_.WM_PROTOCOLS;
      event.data.data32[0] = deleteWindow_;
      event.data.data32[1] = XCB_CURRENT_TIME;
      xcb_send_event(connection_.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                     reinterpret_cast<const char*>(&event));
    } else if (WindowManagerCloses()) {
      Debug("asking with _NET_CLOSE_WINDOW");
      xcb_ewmh_request_close_window(&ewmh_, screenNumber_, window, XCB_CURRENT_TIME,
                                    XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    } else {
      Debug("the window takes no close request");
      return;
    }
    xcb_flush(connection_.get());
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(kClosePollInterval);
      if (!Exists(window)) return;
    }
  }

 private:
  bool Connect() {
    if (connection_ != nullptr) return true;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return false;
    // A display that could not be reached is not tried again at once: a process list
    // asks once per process, and each try may wait for the network.
    const auto now = std::chrono::steady_clock::now();
    if (failedAt_ && now - *failedAt_ < kReconnectDelay) return false;
    int screen = 0;
    UniqueXcbConnection connection(xcb_connect(nullptr, &screen));
    if (xcb_connection_has_error(connection.get()) != 0) {
      failedAt_ = now;
      Debug("no X display");
      return false;
    }
    failedAt_.reset();
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screen && it.rem > 0; ++i) xcb_screen_next(&it);
    if (it.rem == 0) return false;
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection.get(), &ewmh_);
    if (xcb_ewmh_init_atoms_replies(&ewmh_, ewmhCookies, nullptr) == 0) return false;
    connection_ = std::move(connection);
    screenNumber_ = screen;
    root_ = it.data->root;
    ewmhReady_ = true;
    static constexpr char kDeleteWindow[] = "WM_DELETE_WINDOW";
    const UniqueMalloc<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection_.get(),
        xcb_intern_atom(connection_.get(), 0, sizeof kDeleteWindow - 1, kDeleteWindow), nullptr));
    deleteWindow_ = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    return true;
  }

  void Disconnect() {
    if (connection_ == nullptr) return;
    // The atoms go before the connection they were made on.
    if (ewmhReady_) xcb_ewmh_connection_wipe(&ewmh_);
    ewmhReady_ = false;
    connection_.reset();
    owners_.reset();
  }

  // A connection that broke (the server ended) is dropped, to be made again later.
  void CheckConnection() {
    if (connection_ != nullptr && xcb_connection_has_error(connection_.get()) != 0) Disconnect();
  }

  // Every top-level window with the process id it names (0 for none), in order.
  void ReadOwners() {
    owners_.reset();
    std::vector<xcb_window_t> windows = TopLevelWindows();
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) cookies.push_back(xcb_ewmh_get_wm_pid(&ewmh_, window));
    std::vector<std::pair<WindowHandle, ProcessId>> owners;
    owners.reserve(windows.size());
    for (std::size_t i = 0; i < cookies.size(); ++i) {
      std::uint32_t pid = 0;
      if (xcb_ewmh_get_wm_pid_reply(&ewmh_, cookies[i], &pid, nullptr) != 0 && pid != 0) {
        owners.emplace_back(windows[i], pid);
      }
    }
    CheckConnection();
    if (connection_ != nullptr) owners_ = std::move(owners);
  }

  // The window manager's client list where it keeps one, else the root's children.
  std::vector<xcb_window_t> TopLevelWindows() {
    std::vector<xcb_window_t> windows;
    xcb_ewmh_get_windows_reply_t list;
    if (xcb_ewmh_get_client_list_reply(&ewmh_, xcb_ewmh_get_client_list(&ewmh_, screenNumber_),
                                       &list, nullptr) != 0) {
      Debug("windows from _NET_CLIENT_LIST");
      windows.assign(list.windows, list.windows + list.windows_len);
      xcb_ewmh_get_windows_reply_wipe(&list);
      return windows;
    }
    Debug("windows from the root's children");
    const UniqueMalloc<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_.get(), xcb_query_tree(connection_.get(), root_), nullptr));
    if (!tree) return windows;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
    return windows;
  }

  bool Exists(xcb_window_t window) {
    const bool exists =
        UniqueMalloc<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes_reply(
            connection_.get(), xcb_get_window_attributes(connection_.get(), window), nullptr)) !=
        nullptr;
    CheckConnection();
    return exists && connection_ != nullptr;
  }

  bool SupportsDeleteWindow(xcb_window_t window) {
    if (deleteWindow_ == XCB_ATOM_NONE) return false;
    const UniqueMalloc<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_.get(),
        xcb_get_property(connection_.get(), 0, window, ewmh_.WM_PROTOCOLS, XCB_ATOM_ATOM, 0, 64),
        nullptr));
    if (!reply) return false;
    bool found = false;
    if (reply->format == 32) {
      const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
      const int count = xcb_get_property_value_length(reply.get()) / 4;
      for (int i = 0; i < count && !found; ++i) found = atoms[i] == deleteWindow_;
    }
    return found;
  }

  bool WindowManagerCloses() {
    xcb_ewmh_get_atoms_reply_t supported;
    if (xcb_ewmh_get_supported_reply(&ewmh_, xcb_ewmh_get_supported(&ewmh_, screenNumber_),
                                     &supported, nullptr) == 0) {
      return false;
    }
    bool found = false;
    for (std::uint32_t i = 0; i < supported.atoms_len && !found; ++i) {
      found = supported.atoms[i] == ewmh_._NET_CLOSE_WINDOW;
    }
    xcb_ewmh_get_atoms_reply_wipe(&supported);
    return found;
  }

  UniqueXcbConnection connection_;
  xcb_ewmh_connection_t ewmh_{};
  bool ewmhReady_ = false;
  int screenNumber_ = 0;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
  std::optional<std::vector<std::pair<WindowHandle, ProcessId>>> owners_;
  std::chrono::steady_clock::time_point ownersTime_;
  std::optional<std::chrono::steady_clock::time_point> failedAt_;
};

// A start that failed for the reason `error` (an errno value).
StartResult Failed(int error) { return {false, std::generic_category().message(error), {}}; }

// A started player, watched through a pidfd: it becomes readable once the player has
// ended, whoever reaps it.
class PidfdProgram final : public StartedProgram {
 public:
  explicit PidfdProgram(UniqueFd pidfd) : pidfd_(std::move(pidfd)) {}

  std::intptr_t EndSignal() const override { return pidfd_.get(); }

  bool HasEnded() override {
    pollfd ready{pidfd_.get(), POLLIN, 0};
    while (true) {
      const int n = poll(&ready, 1, 0);
      if (n >= 0) return n == 1 && (ready.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
      if (errno != EINTR) return false;
    }
  }

 private:
  UniqueFd pidfd_;
};

// What the intermediate child of a start reports: posix_spawn's result and the player.
struct SpawnReport {
  int error = 0;
  pid_t player = 0;
};

// Reads all of `size` bytes; false when the writer went first.
bool ReadAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = read(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

class LinuxProcesses final : public Processes {
 public:
  InstanceResult ClaimInstance(std::string_view programName) override {
    return ClaimInstanceLock(programName);
  }

  StartResult Start(std::string_view commandLine) override {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    for (const auto& arg : args) {
      if (arg.find('\0') != std::string::npos) return Failed(EINVAL);
    }
    std::string program;
    int error = 0;
    if (!ResolveProgram(args[0], program, error)) return Failed(error);
    if (!IsExecutableFile(program))
      return Failed(access(program.c_str(), F_OK) == 0 ? EACCES : ENOENT);

    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    // The player starts with no descriptor of ours beyond 0, 1 and 2 (whatever opened
    // them without O_CLOEXEC), default signal handling and an empty signal mask.
    FileActions actions;
    posix_spawn_file_actions_addclosefrom_np(&actions.actions, 3);
    SpawnAttributes attributes;
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes.attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes.attributes, &signals);
    posix_spawnattr_setflags(&attributes.attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // Two pipes between this process and the intermediate child below: it reports the
    // player on the first, and waits on the second until this process has taken its
    // pidfd.
    int report[2] = {-1, -1};
    int hold[2] = {-1, -1};
    if (pipe2(report, O_CLOEXEC) != 0) return Failed(errno);
    const UniqueFd reportRead(report[0]);
    UniqueFd reportWrite(report[1]);
    if (pipe2(hold, O_CLOEXEC) != 0) return Failed(errno);
    UniqueFd holdRead(hold[0]);
    UniqueFd holdWrite(hold[1]);

    // Double fork: an intermediate child spawns the player and ends, so the player is
    // adopted by init (or the session's subreaper), which reaps it; we reap only the
    // intermediate child, right here. This leaves no zombie without touching the
    // program-wide SIGCHLD disposition, which the GUI toolkit and other code own, and
    // without a thread per player. While the intermediate child lives, the player is its
    // child and its id cannot be taken by another process even if it has ended already:
    // that is when this process opens the pidfd that tells it when the player ends. The
    // intermediate child only calls posix_spawn (glibc's clone-based version allocates
    // nothing), write, read and _exit, with everything prepared before the fork.
    pid_t child = fork();
    if (child < 0) return Failed(errno);
    if (child == 0) {
      // Only this process's own ends: the hold pipe's read returns once the parent closed
      // its write end.
      close(holdWrite.get());
      close(reportRead.get());
      SpawnReport spawned;
      spawned.error = posix_spawn(&spawned.player, program.c_str(), &actions.actions,
                                  &attributes.attributes, argv.data(), environ);
      (void)!write(reportWrite.get(), &spawned, sizeof spawned);
      char go = 0;
      while (read(holdRead.get(), &go, 1) < 0 && errno == EINTR) {
      }
      _exit(spawned.error & 0xFF);
    }
    reportWrite.reset();
    holdRead.reset();
    SpawnReport spawned;
    const bool reported = ReadAll(reportRead.get(), &spawned, sizeof spawned);
    std::shared_ptr<StartedProgram> started;
    if (reported && spawned.error == 0 && spawned.player > 0) {
      // A pidfd is close-on-exec. Kernels before 5.3 have none: the player runs unwatched.
      UniqueFd pidfd(static_cast<int>(syscall(SYS_pidfd_open, spawned.player, 0)));
      if (pidfd) started = std::make_shared<PidfdProgram>(std::move(pidfd));
    }
    holdWrite.reset();  // the intermediate child ends now
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
      // ECHILD: somebody set SIGCHLD to be ignored and the child was reaped for us; its
      // outcome is what it reported, or, when it reported nothing, unknown: the player
      // most likely started.
      if (errno != EINTR) {
        if (reported)
          return spawned.error == 0 ? StartResult{true, {}, started} : Failed(spawned.error);
        return {errno == ECHILD, {}, {}};
      }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, {}, started};
    return Failed(WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD);
  }

  std::string FindProgram(std::string_view program) override {
    if (program.empty() || program.find('/') != std::string_view::npos) return "";
    std::string path;
    int error = 0;
    if (!ResolveProgram(std::string(program), path, error)) return "";
    // An empty folder of the search path is the current folder; the path is kept
    // whole, since a player's path is used from other folders.
    if (path.front() != '/') {
      std::error_code failed;
      path = std::filesystem::absolute(path, failed).lexically_normal().string();
      if (failed) return "";
    }
    return path;
  }

  std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() override {
    const UniqueDir proc(opendir("/proc"));
    if (!proc) return std::nullopt;
    std::vector<ProcessSnapshotEntry> entries;
    while (const dirent* entry = readdir(proc.get())) {
      const char* name = entry->d_name;
      if (*name < '0' || *name > '9') continue;
      char* end = nullptr;
      unsigned long pid = std::strtoul(name, &end, 10);
      if (*end != '\0' || pid >= kNoProcessId) continue;
      ProcessSnapshotEntry process;
      process.processId = static_cast<ProcessId>(pid);
      std::string exe;
      if (ReadExeLink(process.processId, exe)) {
        process.exeFile = FileNameOf(exe);
      } else if (!ReadComm(process.processId, process.exeFile)) {
        continue;  // ended while we were looking
      }
      entries.push_back(std::move(process));
    }
    return entries;
  }

  std::optional<ModuleInfo> MainModule(ProcessId id) override {
    std::string path;
    if (!ReadExeLink(id, path)) return std::nullopt;
    ModuleInfo module;
    module.name = FileNameOf(path);
    module.path = std::move(path);
    return module;
  }

  WindowHandle FindTopLevelWindow(ProcessId id) override { return windows_.FindWindow(id); }

  void AskToClose(WindowHandle window, std::chrono::milliseconds timeout) override {
    windows_.AskToClose(window, timeout);
  }

  bool Terminate(ProcessId id) override {
    // 0 and values beyond pid_t would signal whole process groups.
    if (id == 0 || id > static_cast<ProcessId>(std::numeric_limits<pid_t>::max())) return false;
    return kill(static_cast<pid_t>(id), SIGKILL) == 0;
  }

  ProcessId CurrentProcessId() override { return static_cast<ProcessId>(getpid()); }

 private:
  X11Windows windows_;
};

}  // namespace

std::unique_ptr<Processes> CreateLinuxProcesses() { return std::make_unique<LinuxProcesses>(); }

}  // namespace quorvel

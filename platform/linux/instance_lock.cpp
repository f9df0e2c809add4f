#include "platform/linux/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/linux/unique_handles.h"

namespace quorvel {

namespace {

constexpr mode_t kPrivateFolderMode = 0700;

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string AbsoluteEnv(const char* name) {
  std::string value = EnvValue(name);
  // Relative values are invalid by the XDG rules and are ignored.
  return !value.empty() && value[0] == '/' ? value : "";
}

// Letters, digits and a few marks stay; every other byte (a separator, a byte of a name
// that is not ASCII) becomes %XX, so that any name gives one file name of its own.
std::string FileNamePart(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string part;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                       byte == '.' || byte == '-' || byte == '_' || byte == ':';
    if (plain) {
      part += c;
    } else if (byte >= 'A' && byte <= 'Z') {
      part += static_cast<char>(byte - 'A' + 'a');  // ASCII case does not count
    } else {
      part += '%';
      part += kHex[byte >> 4];
      part += kHex[byte & 0xf];
    }
  }
  return part;
}

// True when `path` is (or now is made) a folder of this user's that is not a link.
bool OwnFolder(const std::string& path) {
  if (::mkdir(path.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) return false;
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

class LockClaim final : public InstanceClaim {
 public:
  explicit LockClaim(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

}  // namespace

std::string DisplayKey() {
  std::string display = EnvValue("DISPLAY");
  if (!display.empty()) {
    // host:display.screen; the screen is part of the same display.
    const std::size_t colon = display.rfind(':');
    if (colon != std::string::npos) {
      const std::size_t dot = display.find('.', colon);
      if (dot != std::string::npos) display.erase(dot);
    }
    if (display.starts_with("unix:")) display.erase(0, 4);
    return "x11" + display;
  }
  const std::string wayland = EnvValue("WAYLAND_DISPLAY");
  if (!wayland.empty()) return "wayland:" + wayland;
  return "none";
}

std::string InstanceLockPath(std::string_view programName) {
  std::vector<std::string> folders;
  if (const std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR"); !runtime.empty()) {
    folders.push_back(runtime + "/quorvel");
  }
  if (const std::string cache = AbsoluteEnv("XDG_CACHE_HOME"); !cache.empty()) {
    folders.push_back(cache + "/quorvel");
  } else if (const std::string home = AbsoluteEnv("HOME"); !home.empty()) {
    folders.push_back(home + "/.cache/quorvel");
  }
  folders.push_back("/tmp/quorvel-" + std::to_string(::geteuid()));
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  // The user and the host are part of the name too: a cache folder may be shared between
  // machines (a home on a network), and a folder named by the environment between users.
  const std::string name = "instance-" + FileNamePart(programName) + "-" +
                           std::to_string(::geteuid()) + "-" + FileNamePart(host) + "-" +
                           FileNamePart(DisplayKey()) + ".lock";
  for (const auto& folder : folders) {
    const std::size_t slash = folder.rfind('/');
    // The parent of .cache/quorvel may be missing in a fresh home.
    if (slash > 0) ::mkdir(folder.substr(0, slash).c_str(), kPrivateFolderMode);
    if (OwnFolder(folder)) return folder + "/" + name;
  }
  return "";
}

InstanceResult ClaimInstanceLock(std::string_view programName) {
  const std::string path = InstanceLockPath(programName);
  if (path.empty()) return {};
  // Never blocking, never following a link planted at the name, never inherited.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
  if (!fd) return {};
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return {InstanceResult::Outcome::HeldByAnother, nullptr};
    return {};  // no locks on this filesystem
  }
  return {InstanceResult::Outcome::Claimed, std::make_unique<LockClaim>(std::move(fd))};
}

}  // namespace quorvel

#include "platform/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace quorvel {

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;
// How many names the temporary file may try before giving up.
constexpr int kTemporaryNameAttempts = 100;
constexpr const char* kFolderName = "quorvel";

std::string EnvFolder(const char* name) {
  const char* value = std::getenv(name);
  // Relative values are invalid by the XDG rules and are ignored.
  return value != nullptr && value[0] == '/' ? value : "";
}

// Creates `path` and its missing parents; new folders are private.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

}  // namespace

std::string PrivateFilesFolder(bool& ready) {
  ready = false;
  std::string base = EnvFolder("XDG_RUNTIME_DIR");
  if (base.empty()) {
    base = EnvFolder("XDG_CACHE_HOME");
    if (base.empty()) {
      std::string home = EnvFolder("HOME");
      if (home.empty()) return std::string("/") + kFolderName;
      base = home + "/.cache";
    }
  }
  std::string folder = base + "/" + kFolderName;
  if (!MakeFolders(folder)) return folder;
  // Checked through a descriptor opened without following a link, so that what is
  // checked is what is changed.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return folder;
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_uid == geteuid()) {
    ready = (st.st_mode & 07777) == kPrivateFolderMode || fchmod(fd, kPrivateFolderMode) == 0;
  }
  close(fd);
  return folder;
}

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return false;
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return false;
  struct stat st {};
  if (fstat(dir, &st) != 0 || st.st_uid != geteuid()) {
    close(dir);
    return false;
  }

  static std::atomic<unsigned> counter{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && fd < 0; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(getpid()),
                  counter.fetch_add(1));
    temporary = "." + name + suffix;
    fd = openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                kPrivateFileMode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    close(dir);
    return false;
  }
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = close(fd) == 0 && ok;
  ok = ok && renameat(dir, temporary.c_str(), dir, name.c_str()) == 0;
  if (!ok) unlinkat(dir, temporary.c_str(), 0);
  close(dir);
  return ok;
}

}  // namespace quorvel

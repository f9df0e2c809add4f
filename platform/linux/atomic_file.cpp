#include "platform/linux/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/unique_handles.h"

namespace quorvel {

namespace {

constexpr mode_t kPrivateFileMode = 0600;
constexpr std::string_view kTemporaryInfix = ".tmp.";
// How many temporary names are tried before giving up.
constexpr int kTemporaryNameAttempts = 100;

struct SplitPath {
  std::string folder;
  std::string name;
};

SplitPath Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

int ReplaceFileAtomically(const std::string& path, std::string_view bytes, FolderRule rule) {
  const SplitPath split = Split(path);
  if (split.name.empty()) return EISDIR;
  const int folderFlags =
      O_RDONLY | O_DIRECTORY | O_CLOEXEC | (rule == FolderRule::OwnedNotLinked ? O_NOFOLLOW : 0);
  const UniqueFd folder(::open(split.folder.c_str(), folderFlags));
  if (!folder) return errno;
  if (rule == FolderRule::OwnedNotLinked) {
    struct stat st {};
    if (::fstat(folder.get(), &st) != 0) return errno;
    if (st.st_uid != ::geteuid()) return EPERM;
  }

  // The counter is shared by every caller of the process, so that two stores or a
  // store and a playlist never pick the same name.
  static std::atomic<unsigned> counter{0};
  const std::string prefix =
      split.name + std::string(kTemporaryInfix) + std::to_string(::getpid()) + ".";
  std::string temporary;
  UniqueFd file;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && !file; ++attempt) {
    temporary = prefix + std::to_string(counter.fetch_add(1));
    file.reset(::openat(folder.get(), temporary.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode));
    if (!file && errno != EEXIST) return errno;
  }
  if (!file) return EEXIST;

  int error = 0;
  if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.Close() ||
      ::renameat(folder.get(), temporary.c_str(), folder.get(), split.name.c_str()) != 0) {
    error = errno;
    ::unlinkat(folder.get(), temporary.c_str(), 0);
    return error;
  }
  // The rename itself is made durable by flushing the folder.
  ::fsync(folder.get());
  return 0;
}

void RemoveStaleTemporaryFiles(const std::string& path) {
  const SplitPath split = Split(path);
  const std::string prefix = split.name + std::string(kTemporaryInfix);
  UniqueDir dir(::opendir(split.folder.c_str()));
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    const char* name = entry->d_name;
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
    const long pid = std::strtol(name + prefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlinkat(::dirfd(dir.get()), name, 0);
    }
  }
}

}  // namespace quorvel

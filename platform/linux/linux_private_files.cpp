#include "platform/linux/linux_private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/atomic_file.h"
#include "platform/linux/unique_handles.h"

namespace quorvel {

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
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

std::string LinuxPrivateFiles::Folder() {
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
  const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd) return folder;
  struct stat st {};
  // One of another user stays as it is, and ReplaceFile refuses to write there.
  if (fstat(fd.get(), &st) == 0 && st.st_uid == geteuid() &&
      (st.st_mode & 07777) != kPrivateFolderMode) {
    fchmod(fd.get(), kPrivateFolderMode);
  }
  return folder;
}

bool LinuxPrivateFiles::ReplaceFile(const std::string& path, std::string_view bytes) {
  return ReplaceFileAtomically(path, bytes, FolderRule::OwnedNotLinked) == 0;
}

}  // namespace quorvel

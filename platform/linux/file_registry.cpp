#include "platform/linux/file_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/registry_file.h"
#include "platform/user_registry.h"

namespace quorvel {
namespace {

// How many set-aside names ("registry.reg.bad", ".bad.1", ...) are tried before giving
// up and keeping the damaged file where it is.
constexpr int kSetAsideAttempts = 1000;
constexpr std::string_view kTemporaryInfix = ".tmp.";

// Owns a file descriptor.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string ErrorText(int error) { return std::generic_category().message(error); }

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Reads at most `limit` bytes; false with errno set on a read error.
bool ReadAll(int fd, std::size_t limit, std::string& out) {
  char buffer[65536];
  while (out.size() < limit) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    out.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// Moves `from` to `to` unless `to` exists; errno EEXIST when it does.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // Filesystems without RENAME_NOREPLACE: a hard link fails on an existing name too.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, UserMessages& messages)
    : file_(std::move(file)), messages_(messages) {
  RemoveStaleTemporaryFiles();
  Read(/*startUp=*/true);
}

FileRegistry::~FileRegistry() { Flush(); }

bool FileRegistry::KeyAllowed(std::string_view fullPath) {
  const std::string_view root = fullPath.substr(0, fullPath.find('\\'));
  return EqualsIgnoringAsciiCase(root, kCurrentUserRoot);
}

bool FileRegistry::Stamp::operator==(const Stamp& other) const {
  if (exists != other.exists) return false;
  return !exists ||
         (device == other.device && inode == other.inode && size == other.size &&
          modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec);
}

FileRegistry::Stamp FileRegistry::StampOf(int fd, const std::filesystem::path& path) {
  struct stat info {};
  Stamp stamp;
  if ((fd >= 0 ? ::fstat(fd, &info) : ::stat(path.c_str(), &info)) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  return stamp;
}

FileRegistry::Stamp FileRegistry::CurrentStamp() const { return StampOf(-1, file_); }

void FileRegistry::Read(bool startUp) {
  UniqueFd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
  std::string text;
  int error = 0;
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {  // no store (any more)
      if (!startUp) ReplaceTree(RegistryTree());
      MarkClean();
      stamp_ = Stamp();
      return;
    }
    error = errno;
  } else if (!ReadAll(fd.get(), kMaxRegistryFileSize + 1, text)) {
    error = errno;
  }
  if (error != 0) {
    // Later on the tree stays as it is, and the next opening tries again.
    if (!startUp) return;
    readOnly_ = true;
    messages_.Show("The settings store " + file_.string() + " cannot be read (" + ErrorText(error) +
                       "). Quorvel starts with default settings and will not change that file.",
                   {}, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }

  RegistryTree parsed;
  const RegistryParseResult result = ParseRegistryFile(text, parsed);
  if (result.ok) {
    ReplaceTree(std::move(parsed));
    MarkClean();
    stamp_ = StampOf(fd.get(), file_);
    return;
  }

  // Damaged: keep it aside under a name no earlier damaged file holds. What parsed
  // before the damage is not used: the set-aside file keeps all of it.
  const std::string where =
      result.line > 0 ? " (line " + std::to_string(result.line) + ": " + result.reason + ")"
                      : " (" + result.reason + ")";
  std::filesystem::path setAside;
  for (int attempt = 0; attempt < kSetAsideAttempts; ++attempt) {
    std::filesystem::path bad = file_;
    bad += attempt == 0 ? std::string(".bad") : ".bad." + std::to_string(attempt);
    if (RenameNoReplace(file_, bad)) {
      setAside = bad;
      break;
    }
    if (errno != EEXIST) break;
  }
  if (setAside.empty()) {
    if (!startUp) return;
    readOnly_ = true;
    messages_.Show("The settings store " + file_.string() + " is damaged" + where +
                       " and could not be set aside. Quorvel starts with default settings and "
                       "will not change that file.",
                   {}, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  setAside_ = setAside;
  stamp_ = Stamp();
  if (startUp) {
    messages_.Show("The settings store " + file_.string() + " is damaged" + where +
                       ". It was kept as " + setAside_.string() +
                       " and Quorvel starts with default settings.",
                   {}, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  // Damaged under a running program: the keys in memory are written anew.
  MarkDirty();
  messages_.Show("The settings store " + file_.string() + " was damaged" + where +
                     ". It was kept as " + setAside_.string() +
                     " and Quorvel writes the settings it holds anew.",
                 {}, MessageButtons::Ok, MessageIcon::Warning);
}

void FileRegistry::FirstKeyOpening() {
  if (readOnly_ || dirty() || CurrentStamp() == stamp_) return;
  Read(/*startUp=*/false);
}

bool FileRegistry::Write() {
  const std::string text = FormatRegistryFile(tree());
  const std::filesystem::path folder = file_.parent_path();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);

  std::filesystem::path temporary = file_;
  temporary += std::string(kTemporaryInfix) + std::to_string(::getpid()) + "." +
               std::to_string(temporaryCounter_++);
  int error = 0;
  Stamp written;
  {
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
      error = errno;
    } else if (!WriteAll(fd.get(), text) || ::fsync(fd.get()) != 0 ||
               !(written = StampOf(fd.get(), temporary)).exists || !fd.Close()) {
      error = errno;
      ::unlink(temporary.c_str());
    } else if (::rename(temporary.c_str(), file_.c_str()) != 0) {
      error = errno;
      ::unlink(temporary.c_str());
    }
  }
  if (error != 0) {
    if (!writeFailureShown_) {
      messages_.Show("Quorvel could not write its settings store " + file_.string() + " (" +
                         ErrorText(error) + "). The changes are kept until Quorvel ends.",
                     {}, MessageButtons::Ok, MessageIcon::Warning);
      writeFailureShown_ = true;
    }
    return false;
  }
  // The rename itself is made durable by flushing the folder.
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  stamp_ = written;
  writeFailureShown_ = false;
  MarkClean();
  return true;
}

bool FileRegistry::Flush() {
  if (!dirty()) return true;
  if (readOnly_) return false;
  return Write();
}

void FileRegistry::LastKeyClosed() {
  if (dirty() && !readOnly_) Write();
}

// A process killed while writing leaves its temporary file behind; it is removed once
// that process is gone. A live process's file is left alone: it may be writing now.
void FileRegistry::RemoveStaleTemporaryFiles() const {
  const std::string prefix = file_.filename().string() + std::string(kTemporaryInfix);
  std::error_code error;
  for (std::filesystem::directory_iterator it(file_.parent_path(), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlink(it->path().c_str());
    }
  }
}

std::filesystem::path UserRegistryFile() {
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* entry = ::getpwuid(::getuid());
      home = entry != nullptr ? entry->pw_dir : "/";
    }
    config = std::filesystem::path(home) / ".config";
  }
  return config / "quorvel" / "registry.reg";
}

std::unique_ptr<Registry> OpenUserRegistry(UserMessages& messages) {
  return std::make_unique<FileRegistry>(UserRegistryFile(), messages);
}

}  // namespace quorvel

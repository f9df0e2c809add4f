#include "platform/linux/file_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/linux/atomic_file.h"
#include "platform/linux/unique_handles.h"
#include "registry_store/regedit_file.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {
namespace {

// How many set-aside names ("registry.reg.bad", ".bad.1", ...) are tried before giving
// up and keeping the damaged file where it is.
constexpr int kSetAsideAttempts = 1000;
constexpr std::string_view kLockSuffix = ".lock";
// A save holds the lock for a read and a write of the file; one that waits longer than
// this gives up and keeps its changes for the next try.
constexpr auto kLockWait = std::chrono::seconds(20);

std::string ErrorText(int error) { return std::generic_category().message(error); }

// Reads at most `limit` bytes; false with errno set on a read error.
bool ReadAll(int fd, std::size_t limit, std::string& out) {
  struct stat info {};
  if (::fstat(fd, &info) == 0 && info.st_size > 0) {
    out.reserve(std::min(static_cast<std::size_t>(info.st_size), limit) + 1);
  }
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

// What a file that is not a regular one is, in words; "" for a regular file.
std::string KindOfNonRegular(mode_t mode) {
  if (S_ISREG(mode)) return "";
  const int kind = S_ISDIR(mode)                    ? res::kStrStoreIsFolder
                   : S_ISFIFO(mode)                 ? res::kStrStoreIsFifo
                   : S_ISCHR(mode) || S_ISBLK(mode) ? res::kStrStoreIsDevice
                   : S_ISSOCK(mode)                 ? res::kStrStoreIsSocket
                                                    : res::kStrStoreIsOther;
  return std::string(res::LoadString(kind));
}

// Symbolic links followed by hand, so that a store kept as a link (as dotfile managers
// keep it) is written through to the file the link names rather than replaced.
constexpr int kMaxLinks = 40;

// The link's text; false with errno set when it cannot be read.
bool ReadLink(const std::filesystem::path& link, std::filesystem::path& text) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t got = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (got < 0) return false;
    if (static_cast<std::size_t>(got) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(got));
      text = buffer;
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The file that a save replaces: `file` itself, or the end of the chain of links that
// starts there (each relative link taken from its own folder), existing or not: a link
// that names nothing gets its file created. 0, or the errno value (ELOOP for a chain
// that never ends).
int ResolveStoreFile(const std::filesystem::path& file, std::filesystem::path& target) {
  std::filesystem::path current = file;
  for (int step = 0; step <= kMaxLinks; ++step) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return errno;
      target = current;  // nothing there yet
      return 0;
    }
    if (!S_ISLNK(info.st_mode)) {
      target = current;
      return 0;
    }
    std::filesystem::path text;
    if (!ReadLink(current, text)) return errno;
    current = text.is_absolute() ? text : current.parent_path() / text;
  }
  return ELOOP;
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

// An exclusive lock on the lock file beside the store, held while a save reads the
// store and writes it anew, so that the saves of several processes come one after the
// other. The lock file stays: removing it would let one process lock a file that another
// has just replaced. Closing releases the lock, also when the process dies.
class StoreLock {
 public:
  StoreLock() = default;
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // False, with `why` set, when the lock could not be had. Where the filesystem cannot
  // lock files at all, the save goes on without the lock.
  bool Acquire(const std::filesystem::path& path, std::string& why) {
    // Never blocking on the opening, whatever is found at that name.
    fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600));
    if (!fd_) {
      why = res::FormatString(res::kStrStoreWhyLockUnopened, {path.string(), ErrorText(errno)});
      return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    auto pause = std::chrono::milliseconds(1);
    while (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) return true;  // no locking here (ENOLCK, EOPNOTSUPP)
      if (std::chrono::steady_clock::now() >= deadline) {
        why = res::FormatString(res::kStrStoreWhyLockHeld,
                                {path.string(), std::to_string(kLockWait.count())});
        return false;
      }
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    return true;
  }

 private:
  UniqueFd fd_;
};

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, UserMessages& messages)
    : file_(std::move(file)), messages_(messages) {
  lockFile_ = file_;
  lockFile_ += std::string(kLockSuffix);
  std::filesystem::path target;
  if (ResolveStoreFile(file_, target) == 0) RemoveStaleTemporaryFiles(target.string());
  Load();
}

FileRegistry::~FileRegistry() { Flush(); }

bool FileRegistry::KeyAllowed(std::string_view fullPath) {
  const std::string_view root = fullPath.substr(0, fullPath.find('\\'));
  return EqualsIgnoringAsciiCase(root, kCurrentUserRoot);
}

bool FileRegistry::Stamp::operator==(const Stamp& other) const {
  const auto same = [](const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
  };
  if (exists != other.exists) return false;
  return !exists || (device == other.device && inode == other.inode && size == other.size &&
                     same(modified, other.modified) && same(changed, other.changed));
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
  stamp.changed = info.st_ctim;
  return stamp;
}

FileRegistry::Stamp FileRegistry::CurrentStamp() const { return StampOf(-1, file_); }

FileRegistry::Contents FileRegistry::ReadFile() const {
  Contents contents;
  // Only a regular file is opened: a FIFO would block the opening, a device may act on
  // it. What is found is looked at first and checked again once it is open (it may have
  // been replaced between the two), and the opening itself never waits.
  struct stat info {};
  if (::stat(file_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    contents.state = Contents::State::NotRegular;
    contents.kind = KindOfNonRegular(info.st_mode);
    return contents;
  }
  UniqueFd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  std::string text;
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return contents;  // no store (any more)
    contents.state = Contents::State::Unreadable;
    contents.error = errno;
    return contents;
  }
  if (::fstat(fd.get(), &info) == 0 && !S_ISREG(info.st_mode)) {
    contents.state = Contents::State::NotRegular;
    contents.kind = KindOfNonRegular(info.st_mode);
    return contents;
  }
  if (!ReadAll(fd.get(), kMaxRegistryFileSize + 1, text)) {
    contents.state = Contents::State::Unreadable;
    contents.error = errno;
    return contents;
  }
  contents.stamp = StampOf(fd.get(), file_);
  const RegeditParseResult result = ParseRegeditFile(text, contents.tree);
  if (result.ok) {
    contents.state = Contents::State::Parsed;
    contents.text = std::move(text);
    return contents;
  }
  // What parsed before the damage is not used: the set-aside file keeps all of it.
  contents.state = Contents::State::Damaged;
  contents.tree = KeyTree();
  contents.where = result.line > 0 ? res::FormatString(res::kStrStoreDamageAtLine,
                                                       {std::to_string(result.line), result.reason})
                                   : res::FormatString(res::kStrStoreDamage, {result.reason});
  return contents;
}

bool FileRegistry::SetAside(const Stamp& damaged, bool& replaced) {
  replaced = false;
  if (!(CurrentStamp() == damaged)) {
    replaced = true;  // another process saved a new file meanwhile
    return false;
  }
  // Under a name no earlier damaged file holds.
  for (int attempt = 0; attempt < kSetAsideAttempts; ++attempt) {
    std::filesystem::path bad = file_;
    bad += attempt == 0 ? std::string(".bad") : ".bad." + std::to_string(attempt);
    if (RenameNoReplace(file_, bad)) {
      setAside_ = bad;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return false;
}

void FileRegistry::Load() {
  // A damaged file is set aside under the lock, and only when it is still the file
  // that was read; otherwise the new file is read.
  constexpr int kAttempts = 10;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Contents contents = ReadFile();
    switch (contents.state) {
      case Contents::State::Missing:
        return;
      case Contents::State::NotRegular:
        readOnly_ = true;
        Warn(res::FormatString(res::kStrStoreNotRegular, {file_.string(), contents.kind}));
        return;
      case Contents::State::Unreadable:
        readOnly_ = true;
        Warn(res::FormatString(res::kStrStoreUnreadable,
                               {file_.string(), ErrorText(contents.error)}));
        return;
      case Contents::State::Parsed:
        baseText_ = std::move(contents.text);
        ReplaceTree(std::move(contents.tree));
        stamp_ = contents.stamp;
        return;
      case Contents::State::Damaged:
        break;
    }
    std::string why;
    StoreLock lock;
    bool replaced = false;
    const bool locked = lock.Acquire(lockFile_, why);
    if (locked && SetAside(contents.stamp, replaced)) {
      Warn(res::FormatString(res::kStrStoreDamagedKept,
                             {file_.string(), contents.where, setAside_.string()}));
      return;
    }
    if (replaced) continue;
    readOnly_ = true;
    Warn(res::FormatString(res::kStrStoreDamagedStuck, {file_.string(), contents.where}));
    return;
  }
  readOnly_ = true;
  Warn(res::FormatString(res::kStrStoreKeptChanging, {file_.string()}));
}

KeyTree FileRegistry::BaseTree() const {
  KeyTree base;
  // The text was read or written by this store, so it parses; should it not, every
  // key this store holds counts as its change.
  if (!baseText_.empty() && !ParseRegeditFile(baseText_, base).ok) return KeyTree();
  return base;
}

void FileRegistry::Warn(const std::string& text) {
  messages_.Show(text, {}, MessageButtons::Ok, MessageIcon::Warning);
}

void FileRegistry::ReportWriteFailure(const std::string& why) {
  if (writeFailureShown_) return;
  Warn(res::FormatString(res::kStrStoreNotWritten, {file_.string(), why}));
  writeFailureShown_ = true;
}

bool FileRegistry::Write() {
  const std::filesystem::path folder = file_.parent_path();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  std::string why;
  StoreLock lock;
  if (!lock.Acquire(lockFile_, why)) {
    ReportWriteFailure(why);
    return false;
  }

  // What to write: the file as it is now with this store's changes made in it, or,
  // when the file was damaged and set aside, every key this store holds.
  const KeyTree base = BaseTree();
  KeyTree target;
  const KeyTree* text = &target;
  bool merged = false;
  Stamp read;
  const Stamp now = CurrentStamp();
  if (now == stamp_ && fileHoldsBase_) {
    target = base.Clone();
    read = now;
  } else {
    Contents contents = ReadFile();
    read = contents.stamp;
    switch (contents.state) {
      case Contents::State::Missing:  // removed: the changes go into an empty store
      case Contents::State::Parsed:
        target = std::move(contents.tree);
        merged = true;
        break;
      case Contents::State::NotRegular:
        ReportWriteFailure(res::FormatString(res::kStrStoreWhyNotRegular, {contents.kind}));
        return false;
      case Contents::State::Unreadable:
        ReportWriteFailure(
            res::FormatString(res::kStrStoreWhyUnreadable, {ErrorText(contents.error)}));
        return false;
      case Contents::State::Damaged: {
        bool replaced = false;
        if (!SetAside(contents.stamp, replaced)) {
          ReportWriteFailure(replaced
                                 ? std::string(res::LoadString(res::kStrStoreWhyChanging))
                                 : res::FormatString(res::kStrStoreWhyDamaged, {contents.where}));
          return false;
        }
        Warn(res::FormatString(res::kStrStoreRewritten,
                               {file_.string(), contents.where, setAside_.string()}));
        text = &tree();
        read = Stamp();
        break;
      }
    }
  }
  if (text == &target && ReplayChanges(base, tree(), target) == 0) {
    // The file holds every change already.
    stamp_ = read;
    if (merged) {
      baseText_ = FormatRegeditFile(tree());
      fileHoldsBase_ = false;
    }
    MarkClean();
    return true;
  }

  std::string formatted = FormatRegeditFile(*text);
  // A store that is a link is written through to the file it names, so the link stays.
  std::filesystem::path destination;
  if (const int error = ResolveStoreFile(file_, destination); error != 0) {
    ReportWriteFailure(error == ELOOP ? std::string(res::LoadString(res::kStrStoreWhyEndlessLinks))
                                      : ErrorText(error));
    return false;
  }
  if (destination != file_) {
    std::filesystem::create_directories(destination.parent_path(), ignored);
  }
  if (const int error = ReplaceFileAtomically(destination.string(), formatted); error != 0) {
    ReportWriteFailure(ErrorText(error));
    return false;
  }
  // Taken after the rename, which may change the file's change time; the lock keeps
  // other saves out until then.
  stamp_ = CurrentStamp();
  // Without changes of other processes merged in, the file holds the same keys as the
  // tree (in the file's order).
  fileHoldsBase_ = !merged;
  baseText_ = merged ? FormatRegeditFile(tree()) : std::move(formatted);
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

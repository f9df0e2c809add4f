#include "platform/linux/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/unique_handles.h"
#include "platform/native_path.h"
#include "platform/text_lines.h"
#include "windows_rules/folder_listing.h"
#include "windows_rules/path_rules.h"

namespace quorvel {

namespace {

std::string FolderPath(std::string_view folder) {
  // "" stands for the current folder, as a relative disk path does.
  return folder.empty() ? std::string(".") : std::string(folder);
}

// Opens a regular file for reading and gives its size. O_NONBLOCK keeps a FIFO that
// carries a media file's name from blocking the open; it is then refused as not
// regular. Reads of a regular file ignore O_NONBLOCK, so it stays set.
UniqueFd OpenRegularFile(std::string_view path, std::uint64_t* size = nullptr) {
  UniqueFd fd(::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!fd) return fd;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return UniqueFd();
  if (size != nullptr) *size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

std::optional<std::size_t> PreadAll(int fd, std::uint64_t offset, std::span<std::byte> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n =
        ::pread(fd, buffer.data() + done, buffer.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return done == 0 ? std::nullopt : std::optional<std::size_t>(done);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::vector<std::string>> ReadNames(const std::string& folder) {
  const UniqueDir dir(::opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const char* n = entry->d_name;
    if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
    names.emplace_back(n);
  }
  return names;
}

// The name in `folder` that matches `component`: the exact name when it exists, else
// the first entry (in sorted order) equal to it without regard to ASCII case.
std::optional<std::string> MatchEntry(const std::string& folder, std::string_view component) {
  if (Exists(JoinNativePath(folder, component))) return std::string(component);
  std::optional<std::vector<std::string>> names = ReadNames(folder);
  if (!names) return std::nullopt;
  return FolderListing(folder, std::move(*names), NativeSeparator()).Find(component);
}

class PosixReader final : public Files::Reader {
 public:
  PosixReader(UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
    return PreadAll(fd_.get(), offset, buffer);
  }

 private:
  UniqueFd fd_;
  std::uint64_t size_;
};

}  // namespace

bool PosixFiles::EntryExists(std::string_view folder, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return false;
  return MatchEntry(FolderPath(folder), name).has_value();
}

std::vector<Files::Entry> PosixFiles::ListByExtension(std::string_view folder,
                                                      std::string_view extension) {
  std::optional<std::vector<std::string>> names = ReadNames(FolderPath(folder));
  if (!names) return {};
  return FolderListing(std::string(folder), std::move(*names), NativeSeparator())
      .ByExtension(extension);
}

std::optional<std::vector<std::string>> PosixFiles::ListNames(std::string_view folder) {
  return ReadNames(FolderPath(folder));
}

std::optional<std::uint64_t> PosixFiles::FileSize(std::string_view path) {
  struct stat st {};
  if (::stat(std::string(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> PosixFiles::ReadBytes(std::string_view path, std::uint64_t offset,
                                                 std::span<std::byte> buffer) {
  const UniqueFd fd = OpenRegularFile(path);
  if (!fd) return std::nullopt;
  return PreadAll(fd.get(), offset, buffer);
}

std::optional<Files::Head> PosixFiles::ReadHead(std::string_view path, std::uint64_t offset,
                                                std::span<std::byte> buffer) {
  Head head;
  const UniqueFd fd = OpenRegularFile(path, &head.size);
  if (!fd) return std::nullopt;
  // A file that cannot be read at `offset` still has its size.
  head.read = PreadAll(fd.get(), offset, buffer).value_or(0);
  return head;
}

std::optional<std::string> PosixFiles::ReadFile(std::string_view path) {
  const UniqueFd fd = OpenRegularFile(path);
  if (!fd) return std::nullopt;
  std::string bytes;
  std::byte chunk[65536];
  while (bytes.size() < kMaxReadFileBytes) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const std::size_t take =
        std::min(static_cast<std::size_t>(n), kMaxReadFileBytes - bytes.size());
    bytes.append(reinterpret_cast<const char*>(chunk), take);
  }
  return bytes;
}

bool PosixFiles::ReadTextLines(std::string_view path,
                               const std::function<bool(std::string_view line)>& line) {
  const UniqueFd fd = OpenRegularFile(path);
  if (!fd) return false;
  TextLineSplitter lines(line);
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    std::string_view data(chunk, static_cast<std::size_t>(n));
    if (!lines.Feed(data)) return true;
  }
  lines.End();
  return true;
}

}  // namespace quorvel

namespace quorvel {

std::unique_ptr<Files::Reader> PosixFiles::OpenForReading(std::string_view path) {
  std::uint64_t size = 0;
  UniqueFd fd = OpenRegularFile(path, &size);
  if (!fd) return nullptr;
  return std::make_unique<PosixReader>(std::move(fd), size);
}

}  // namespace quorvel

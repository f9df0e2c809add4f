#include "platform/win32/win32_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/native_path.h"
#include "platform/text_lines.h"
#include "platform/win32/win32_handle.h"
#include "windows_rules/folder_listing.h"

namespace quorvel {

namespace {

using win32::FindHandle;
using win32::Handle;

constexpr DWORD kChunk = 65536;

std::string FolderPath(std::string_view folder) {
  // "" stands for the current folder, as a relative disk path does.
  return folder.empty() ? std::string(".") : std::string(folder);
}

bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// Opens a file on a disk for reading, shared with every other reader and writer.
// Folders fail to open (no backup semantics asked for); devices such as CON or a
// pipe open but are refused here, so they are never read.
Handle OpenRegularFile(std::string_view path, std::uint64_t* size = nullptr) {
  if (path.empty() || HasNul(path)) return Handle();
  Handle file(::CreateFileA(std::string(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return Handle();
  if (size != nullptr) {
    LARGE_INTEGER bytes{};
    if (!::GetFileSizeEx(file.get(), &bytes)) return Handle();
    *size = static_cast<std::uint64_t>(bytes.QuadPart);
  }
  return file;
}

// Reads from `offset` until the buffer is full or the file ends.
std::optional<std::size_t> ReadAt(HANDLE file, std::uint64_t offset, std::span<std::byte> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    OVERLAPPED at{};
    const std::uint64_t position = offset + done;
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, kChunk));
    DWORD got = 0;
    if (!::ReadFile(file, buffer.data() + done, want, &got, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return done == 0 ? std::nullopt : std::optional<std::size_t>(done);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

// Reads on from the current position; 0 at the end of the file or on an error.
DWORD ReadNext(HANDLE file, char* buffer, DWORD size) {
  DWORD got = 0;
  if (!::ReadFile(file, buffer, size, &got, nullptr)) return 0;
  return got;
}

std::optional<std::vector<std::string>> ReadNames(const std::string& folder) {
  if (HasNul(folder)) return std::nullopt;
  WIN32_FIND_DATAA data{};
  FindHandle find(::FindFirstFileExA(JoinNativePath(folder, "*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, 0));
  if (!find.ok()) {
    // A drive root without entries has not even "." and "..".
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>();
    return std::nullopt;
  }
  std::vector<std::string> names;
  do {
    const char* n = data.cFileName;
    if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
    names.emplace_back(n);
  } while (::FindNextFileA(find.get(), &data));
  return names;
}

class Win32Reader final : public Files::Reader {
 public:
  Win32Reader(Handle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
    return quorvel::ReadAt(file_.get(), offset, buffer);
  }

 private:
  Handle file_;
  std::uint64_t size_;
};

bool IsFolderName(std::string_view name) {
  return name.find_first_of("\\/") != std::string_view::npos;
}

}  // namespace

bool Win32Files::EntryExists(std::string_view folder, std::string_view name) {
  // Wildcards would be taken by the system as part of a pattern, not as a name.
  if (name.empty() || IsFolderName(name) || HasNul(name) ||
      name.find_first_of("*?") != std::string_view::npos) {
    return false;
  }
  const std::string path = JoinNativePath(FolderPath(folder), name);
  if (HasNul(path)) return false;
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<Files::Entry> Win32Files::ListByExtension(std::string_view folder,
                                                      std::string_view extension) {
  std::optional<std::vector<std::string>> names = ReadNames(FolderPath(folder));
  if (!names) return {};
  return FolderListing(std::string(folder), std::move(*names), NativeSeparator())
      .ByExtension(extension);
}

std::optional<std::vector<std::string>> Win32Files::ListNames(std::string_view folder) {
  return ReadNames(FolderPath(folder));
}

std::optional<std::uint64_t> Win32Files::FileSize(std::string_view path) {
  if (path.empty() || HasNul(path)) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(std::string(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  // A link's attributes describe the link; the size is the target's.
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    std::uint64_t size = 0;
    if (!OpenRegularFile(path, &size).ok()) return std::nullopt;
    return size;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::size_t> Win32Files::ReadBytes(std::string_view path, std::uint64_t offset,
                                                 std::span<std::byte> buffer) {
  Handle file = OpenRegularFile(path);
  if (!file.ok()) return std::nullopt;
  return ReadAt(file.get(), offset, buffer);
}

std::optional<Files::Head> Win32Files::ReadHead(std::string_view path, std::uint64_t offset,
                                                std::span<std::byte> buffer) {
  Head head;
  Handle file = OpenRegularFile(path, &head.size);
  if (!file.ok()) return std::nullopt;
  head.read = ReadAt(file.get(), offset, buffer).value_or(0);
  return head;
}

std::optional<std::string> Win32Files::ReadFile(std::string_view path) {
  Handle file = OpenRegularFile(path);
  if (!file.ok()) return std::nullopt;
  std::string bytes;
  std::vector<char> chunk(kChunk);
  while (bytes.size() < kMaxReadFileBytes) {
    const DWORD n = ReadNext(file.get(), chunk.data(), kChunk);
    if (n == 0) break;
    bytes.append(chunk.data(), std::min<std::size_t>(n, kMaxReadFileBytes - bytes.size()));
  }
  return bytes;
}

bool Win32Files::ReadTextLines(std::string_view path,
                               const std::function<bool(std::string_view line)>& line) {
  Handle file = OpenRegularFile(path);
  if (!file.ok()) return false;
  TextLineSplitter lines(line);
  std::vector<char> chunk(kChunk);
  for (;;) {
    const DWORD n = ReadNext(file.get(), chunk.data(), kChunk);
    if (n == 0) break;
    std::string_view data(chunk.data(), n);
    if (!lines.Feed(data)) return true;
  }
  lines.End();
  return true;
}

}  // namespace quorvel

namespace quorvel {

std::unique_ptr<Files::Reader> Win32Files::OpenForReading(std::string_view path) {
  std::uint64_t size = 0;
  Handle file = OpenRegularFile(path, &size);
  if (!file.ok()) return nullptr;
  return std::make_unique<Win32Reader>(std::move(file), size);
}

}  // namespace quorvel

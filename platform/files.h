#pragma once
// Files: the folder and file reading that disk recognition needs. Names are compared
// without regard to ASCII letter case, as disks written on Windows expect.
//
// Every call is bounded: a folder that cannot be listed counts as empty, an entry
// that vanishes or cannot be sized is skipped, a symbolic-link loop is an entry that
// cannot be opened, and a FIFO or device is never opened for reading.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_path.h"
#include "windows_rules/disk_names.h"
#include "windows_rules/folder_listing.h"

namespace quorvel {

class Files {
 public:
  // path: JoinNativePath(folder, name); name: as the folder holds it; title: `name`
  // without its last dot and what follows.
  using Entry = ListedEntry;

  // Largest file that ReadFile hands out; longer files are cut here.
  static constexpr std::size_t kMaxReadFileBytes = 32u << 20;
  // Longest line that ReadTextLines hands out; the rest of a longer line is dropped.
  static constexpr std::size_t kMaxLineBytes = 32u << 20;

  virtual ~Files() = default;

  // True when `folder` holds an entry of any kind (file, folder, ...) whose name
  // equals `name` without regard to ASCII case. False for a folder that cannot be
  // read.
  virtual bool EntryExists(std::string_view folder, std::string_view name) = 0;

  // The entries of `folder` (not of its subfolders) whose names end in "." followed
  // by `extension`, without regard to ASCII case, of any kind, sorted by name
  // (ASCII case ignored, then byte order). Empty when the folder cannot be listed.
  virtual std::vector<Entry> ListByExtension(std::string_view folder,
                                             std::string_view extension) = 0;

  // The names of every entry of `folder` (not of its subfolders; without "." and
  // ".."), in the folder's own order; nullopt when the folder cannot be listed.
  virtual std::optional<std::vector<std::string>> ListNames(std::string_view folder) = 0;

  // The size in bytes of the regular file at `path` (symbolic links followed);
  // nullopt for a missing entry, a folder or other non-file, a link loop.
  virtual std::optional<std::uint64_t> FileSize(std::string_view path) = 0;

  // Up to buffer.size() bytes of the regular file at `path` from byte `offset`;
  // returns how many were read (fewer at the end of the file), or nullopt when the
  // file cannot be opened (missing, not a regular file, no permission).
  virtual std::optional<std::size_t> ReadBytes(std::string_view path, std::uint64_t offset,
                                               std::span<std::byte> buffer) = 0;

  // What ReadHead gives: the file's size and how many bytes were read.
  struct Head {
    std::uint64_t size = 0;
    std::size_t read = 0;
  };

  // FileSize and ReadBytes of the regular file at `path` with one opening of it, for
  // a reader that needs a file's size and its first bytes (the movie search sizes
  // every movie file and reads every AVI file's header). nullopt when the file cannot
  // be opened; its size may still be known to FileSize (no read permission).
  virtual std::optional<Head> ReadHead(std::string_view path, std::uint64_t offset,
                                       std::span<std::byte> buffer) = 0;

  // The whole regular file at `path`, cut after kMaxReadFileBytes; nullopt when it
  // cannot be opened.
  virtual std::optional<std::string> ReadFile(std::string_view path) = 0;

  // Calls `line` for each line of the text file at `path`, in order, without its line
  // end, until it returns false or the file ends. A line ends at a line feed; a
  // carriage return right before it belongs to the line end, any other carriage
  // return stays in the line. A last line without a line end still counts. False when
  // the file cannot be opened.
  virtual bool ReadTextLines(std::string_view path,
                             const std::function<bool(std::string_view line)>& line) = 0;

  // A regular file opened once, for a reader that goes through it piece by piece (the
  // picture decoders), so that a large file is never held whole.
  class Reader {
   public:
    virtual ~Reader() = default;
    // The file's size when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Up to buffer.size() bytes from byte `offset`; how many were read (fewer at the
    // end of the file), or nullopt on a read error.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset,
                                              std::span<std::byte> buffer) = 0;
  };

  // Opens the regular file at `path` as ReadBytes does; nullptr when it cannot be opened
  // (missing, not a regular file, no permission).
  virtual std::unique_ptr<Reader> OpenForReading(std::string_view path) = 0;
};

// Resolves names written in disk files (windows_rules/disk_names.h) against the
// listings of `files`, with the platform's separator. `files` must outlive it.
inline DiskNameResolver CreateDiskNameResolver(Files& files) {
  return DiskNameResolver([&files](const std::string& folder) { return files.ListNames(folder); },
                          NativeSeparator());
}

}  // namespace quorvel

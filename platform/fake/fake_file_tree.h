#pragma once
// A files service over folders and files held in memory, for tests of the code above
// the files service on any platform. Paths use the platform's separator
// (NativeSeparator) and are matched exactly, as the platform's own paths are; only the
// calls that the Files contract says compare names without regard to ASCII case do so.
// A file has contents, or a size alone (its bytes read as zeros), so that a test can
// make a file of gigabytes without holding them.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace quorvel {

class FakeFileTree final : public Files {
 public:
  // Adds the file `path` with `contents`, with every missing folder above it; an
  // existing file is replaced.
  void AddFile(std::string_view path, std::string_view contents = {});
  // Adds the file `path` of `size` bytes, all zero.
  void AddSizedFile(std::string_view path, std::uint64_t size);
  // Adds the folder `path` with every missing folder above it.
  void AddFolder(std::string_view path);
  // Removes the entry at `path`, and everything below it when it is a folder.
  void Remove(std::string_view path);
  // The file at `path` can be listed and sized but not opened from now on, as a file
  // without read permission.
  void MakeUnreadable(std::string_view path);
  // The folder at `path` cannot be listed from now on (it still exists).
  void MakeUnlistable(std::string_view path);

  // How many times a folder was listed (ListNames, ListByExtension, EntryExists), and
  // how many times a file was opened (ReadBytes, ReadHead, ReadFile, ReadTextLines,
  // OpenForReading).
  int listings() const { return listings_; }
  int openings() const { return openings_; }

  bool EntryExists(std::string_view folder, std::string_view name) override;
  std::vector<Entry> ListByExtension(std::string_view folder, std::string_view extension) override;
  std::optional<std::vector<std::string>> ListNames(std::string_view folder) override;
  std::optional<std::uint64_t> FileSize(std::string_view path) override;
  std::optional<std::size_t> ReadBytes(std::string_view path, std::uint64_t offset,
                                       std::span<std::byte> buffer) override;
  std::optional<Head> ReadHead(std::string_view path, std::uint64_t offset,
                               std::span<std::byte> buffer) override;
  std::optional<std::string> ReadFile(std::string_view path) override;
  bool ReadTextLines(std::string_view path,
                     const std::function<bool(std::string_view line)>& line) override;
  std::unique_ptr<Reader> OpenForReading(std::string_view path) override;

 private:
  struct Node {
    bool folder = false;
    bool readable = true;  // a file: can be opened; a folder: can be listed
    std::string contents;  // a file's first bytes; the rest up to `size` are zeros
    std::uint64_t size = 0;
    std::vector<std::string> children;  // a folder's entries, in the order they came
  };

  Node& Add(std::string_view path, bool folder);
  // The node at `path`, or nullptr.
  Node* Find(std::string_view path);
  // The file at `path` that can be opened, or nullptr.
  Node* OpenFile(std::string_view path);
  std::optional<FolderListing> Listing(std::string_view folder);
  static std::size_t Copy(const Node& file, std::uint64_t offset, std::span<std::byte> buffer);

  std::map<std::string, Node, std::less<>> nodes_;
  int listings_ = 0;
  int openings_ = 0;
};

}  // namespace quorvel

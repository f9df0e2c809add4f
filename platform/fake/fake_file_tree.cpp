#include "platform/fake/fake_file_tree.h"

#include <algorithm>
#include <cstring>

#include "platform/native_path.h"
#include "platform/text_lines.h"

namespace quorvel {

namespace {

// `path` without trailing separators; the root itself ("/") stays, and "" is the
// current folder, as ".".
std::string Key(std::string_view path) {
  const char separator = NativeSeparator();
  while (path.size() > 1 && path.back() == separator) path.remove_suffix(1);
  if (path.empty()) return ".";
  return std::string(path);
}

// The folder above `key` and the entry's name in it; an entry without a separator is
// in the current folder.
std::pair<std::string, std::string> SplitKey(const std::string& key) {
  const std::size_t at = key.rfind(NativeSeparator());
  if (at == std::string::npos) return {".", key};
  return {at == 0 ? key.substr(0, 1) : key.substr(0, at), key.substr(at + 1)};
}

}  // namespace

FakeFileTree::Node& FakeFileTree::Add(std::string_view path, bool folder) {
  const std::string key = Key(path);
  if (auto it = nodes_.find(key); it != nodes_.end()) {
    if (!folder) it->second = Node{};
    it->second.folder = folder;
    return it->second;
  }
  const auto [parent, name] = SplitKey(key);
  if (!name.empty() && parent != key) {
    Node& above = Add(parent, true);
    above.children.push_back(name);
  }
  Node& node = nodes_[key];
  node.folder = folder;
  return node;
}

void FakeFileTree::AddFile(std::string_view path, std::string_view contents) {
  Node& file = Add(path, false);
  file.contents.assign(contents);
  file.size = contents.size();
}

void FakeFileTree::AddSizedFile(std::string_view path, std::uint64_t size) {
  Add(path, false).size = size;
}

void FakeFileTree::AddFolder(std::string_view path) { Add(path, true); }

void FakeFileTree::Remove(std::string_view path) {
  const std::string key = Key(path);
  Node* node = Find(key);
  if (node == nullptr) return;
  if (node->folder) {
    for (const std::string& child : std::vector<std::string>(node->children)) {
      Remove(JoinNativePath(key, child));
    }
  }
  nodes_.erase(key);
  const auto [parent, name] = SplitKey(key);
  if (Node* above = Find(parent)) {
    std::erase(above->children, name);
  }
}

void FakeFileTree::MakeUnreadable(std::string_view path) {
  if (Node* node = Find(path)) node->readable = false;
}

void FakeFileTree::MakeUnlistable(std::string_view path) { MakeUnreadable(path); }

FakeFileTree::Node* FakeFileTree::Find(std::string_view path) {
  const auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

FakeFileTree::Node* FakeFileTree::OpenFile(std::string_view path) {
  Node* node = Find(path);
  if (node == nullptr || node->folder || !node->readable) return nullptr;
  ++openings_;
  return node;
}

std::optional<FolderListing> FakeFileTree::Listing(std::string_view folder) {
  std::optional<std::vector<std::string>> names = ListNames(folder);
  if (!names) return std::nullopt;
  return FolderListing(std::string(folder), std::move(*names), NativeSeparator());
}

std::size_t FakeFileTree::Copy(const Node& file, std::uint64_t offset,
                               std::span<std::byte> buffer) {
  if (offset >= file.size) return 0;
  const auto count =
      static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), file.size - offset));
  std::fill_n(buffer.begin(), count, std::byte{0});
  if (offset < file.contents.size()) {
    const std::size_t stored = std::min(count, file.contents.size() - offset);
    std::memcpy(buffer.data(), file.contents.data() + offset, stored);
  }
  return count;
}

bool FakeFileTree::EntryExists(std::string_view folder, std::string_view name) {
  if (name.empty() || name.find(NativeSeparator()) != std::string_view::npos) return false;
  const std::optional<FolderListing> listing = Listing(folder);
  return listing && listing->Contains(name);
}

std::vector<Files::Entry> FakeFileTree::ListByExtension(std::string_view folder,
                                                        std::string_view extension) {
  const std::optional<FolderListing> listing = Listing(folder);
  return listing ? listing->ByExtension(extension) : std::vector<Entry>();
}

std::optional<std::vector<std::string>> FakeFileTree::ListNames(std::string_view folder) {
  const Node* node = Find(folder);
  if (node == nullptr || !node->folder || !node->readable) return std::nullopt;
  ++listings_;
  return node->children;
}

std::optional<std::uint64_t> FakeFileTree::FileSize(std::string_view path) {
  const Node* node = Find(path);
  if (node == nullptr || node->folder) return std::nullopt;
  return node->size;
}

std::optional<std::size_t> FakeFileTree::ReadBytes(std::string_view path, std::uint64_t offset,
                                                   std::span<std::byte> buffer) {
  const Node* file = OpenFile(path);
  if (file == nullptr) return std::nullopt;
  return Copy(*file, offset, buffer);
}

std::optional<Files::Head> FakeFileTree::ReadHead(std::string_view path, std::uint64_t offset,
                                                  std::span<std::byte> buffer) {
  const Node* file = OpenFile(path);
  if (file == nullptr) return std::nullopt;
  return Head{file->size, Copy(*file, offset, buffer)};
}

std::optional<std::string> FakeFileTree::ReadFile(std::string_view path) {
  const Node* file = OpenFile(path);
  if (file == nullptr) return std::nullopt;
  std::string bytes(
      static_cast<std::size_t>(std::min<std::uint64_t>(file->size, kMaxReadFileBytes)), '\0');
  std::memcpy(bytes.data(), file->contents.data(), std::min(bytes.size(), file->contents.size()));
  return bytes;
}

bool FakeFileTree::ReadTextLines(std::string_view path,
                                 const std::function<bool(std::string_view line)>& line) {
  const std::optional<std::string> text = ReadFile(path);
  if (!text) return false;
  TextLineSplitter lines(line);
  if (lines.Feed(*text)) lines.End();
  return true;
}

}  // namespace quorvel

namespace quorvel {

namespace {

// Reads a copy of the file taken when it was opened, as an open file keeps reading the
// file it opened.
class FakeReader final : public Files::Reader {
 public:
  explicit FakeReader(std::function<std::size_t(std::uint64_t, std::span<std::byte>)> copy,
                      std::uint64_t size)
      : copy_(std::move(copy)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
    return copy_(offset, buffer);
  }

 private:
  std::function<std::size_t(std::uint64_t, std::span<std::byte>)> copy_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<Files::Reader> FakeFileTree::OpenForReading(std::string_view path) {
  const Node* file = OpenFile(path);
  if (file == nullptr) return nullptr;
  auto copy = std::make_shared<Node>(*file);
  return std::make_unique<FakeReader>(
      [copy](std::uint64_t offset, std::span<std::byte> buffer) {
        return Copy(*copy, offset, buffer);
      },
      copy->size);
}

}  // namespace quorvel

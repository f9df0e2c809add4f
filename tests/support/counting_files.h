#pragma once
// Passes every call to another files service and counts what the readers of file
// contents ask of it: openings and bytes handed out, so that a test can show a reader's
// work bounded whatever the file holds.

#include <cstdint>

#include "platform/files.h"

namespace quorvel::testing {

class CountingFiles final : public Files {
 public:
  explicit CountingFiles(Files& inner) : inner_(inner) {}

  bool EntryExists(std::string_view folder, std::string_view name) override {
    return inner_.EntryExists(folder, name);
  }
  std::vector<Entry> ListByExtension(std::string_view folder, std::string_view extension) override {
    return inner_.ListByExtension(folder, extension);
  }
  std::optional<std::vector<std::string>> ListNames(std::string_view folder) override {
    return inner_.ListNames(folder);
  }
  std::optional<std::uint64_t> FileSize(std::string_view path) override {
    return inner_.FileSize(path);
  }
  std::optional<std::size_t> ReadBytes(std::string_view path, std::uint64_t offset,
                                       std::span<std::byte> buffer) override {
    ++reads;
    asked += buffer.size();
    const std::optional<std::size_t> read = inner_.ReadBytes(path, offset, buffer);
    if (read) bytes += *read;
    return read;
  }
  std::optional<Head> ReadHead(std::string_view path, std::uint64_t offset,
                               std::span<std::byte> buffer) override {
    ++reads;
    asked += buffer.size();
    const std::optional<Head> head = inner_.ReadHead(path, offset, buffer);
    if (head) bytes += head->read;
    return head;
  }
  std::optional<std::string> ReadFile(std::string_view path) override {
    ++reads;
    const std::optional<std::string> text = inner_.ReadFile(path);
    if (text) bytes += text->size();
    return text;
  }
  bool ReadTextLines(std::string_view path,
                     const std::function<bool(std::string_view line)>& line) override {
    ++reads;
    return inner_.ReadTextLines(path, line);
  }

  void Clear() { reads = 0, bytes = 0, asked = 0; }

  int reads = 0;            // openings of a file to read from it
  std::uint64_t bytes = 0;  // bytes handed out
  std::uint64_t asked = 0;  // bytes asked for (buffer sizes)

 private:
  Files& inner_;
};

}  // namespace quorvel::testing

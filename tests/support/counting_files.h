#pragma once
// Passes every call to another files service and counts what the readers of file
// contents ask of it: openings and bytes handed out, so that a test can show a reader's
// work bounded whatever the file holds.

#include <cstdint>
#include <memory>
#include <utility>

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

  std::unique_ptr<Reader> OpenForReading(std::string_view path) override {
    ++reads;
    std::unique_ptr<Reader> reader = inner_.OpenForReading(path);
    if (reader == nullptr) return nullptr;
    return std::make_unique<CountingReader>(std::move(reader), *this);
  }

  void Clear() { reads = 0, bytes = 0, asked = 0; }

  int reads = 0;            // openings of a file to read from it
  std::uint64_t bytes = 0;  // bytes handed out
  std::uint64_t asked = 0;  // bytes asked for (buffer sizes)

 private:
  // Counts what is read through an opened file as the other reads are counted.
  class CountingReader final : public Reader {
   public:
    CountingReader(std::unique_ptr<Reader> inner, CountingFiles& counts)
        : inner_(std::move(inner)), counts_(counts) {}
    std::uint64_t Size() const override { return inner_->Size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::byte> buffer) override {
      counts_.asked += buffer.size();
      const std::optional<std::size_t> read = inner_->ReadAt(offset, buffer);
      if (read) counts_.bytes += *read;
      return read;
    }

   private:
    std::unique_ptr<Reader> inner_;
    CountingFiles& counts_;
  };

  Files& inner_;
};

}  // namespace quorvel::testing

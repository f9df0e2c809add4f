#pragma once
// The files service over POSIX calls.

#include "platform/files.h"

namespace quorvel {

class PosixFiles : public Files {
 public:
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
};

}  // namespace quorvel

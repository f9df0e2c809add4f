#pragma once
// The files service over the Win32 file functions (ANSI names). Windows matches names
// without regard to letter case itself, so names are handed to the system as they are.

#include "platform/files.h"

namespace quorvel {

class Win32Files final : public Files {
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

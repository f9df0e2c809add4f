#pragma once
// "configuration.ini" of DivX Autorun disks: the movies of section "Movies" (title =
// key, file = value) and the cover picture named on the line after "[Picture]".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class Files;

struct AutorunMovie {
  std::string title;  // the key exactly as written
  std::string file;   // the value below the disk folder, as a platform path
  bool operator==(const AutorunMovie&) const = default;
};

struct AutorunConfig {
  static constexpr std::string_view kFileName = "configuration.ini";
  static constexpr std::string_view kMoviesSection = "Movies";
  static constexpr std::string_view kPictureLine = "[Picture]";
  // The profile-string buffers are this large: names and values are cut to fit.
  static constexpr std::size_t kBufferSize = 1024;

  std::int32_t valid = 0;            // 1 when the file could be opened and was read
  std::string folder;                // the disk folder it was read for
  std::string iniPath;               // the file that was read
  std::string pictureName;           // the line after "[Picture]", untrimmed; "" when none
  std::string picturePath;           // pictureName below `folder`, as a platform path
  std::vector<AutorunMovie> movies;  // in key order

  void Reset();
  bool IsValid() const { return valid != 0; }

  // Reads `fileName` in `folder`; names from the file are resolved below `folder`
  // through `files` (CreateDiskNameResolver). True when the record is valid. A missing
  // or unreadable file gives an invalid record.
  bool Read(Files& files, std::string_view folderPath, std::string_view fileName);
};

}  // namespace quorvel

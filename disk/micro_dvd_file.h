#pragma once
// "mdvd.mvd" of Micro DVD disks: one movie, its title, its AVI file and the CD number
// within a set.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

class Files;

struct MicroDvdFile {
  static constexpr std::string_view kFileName = "mdvd.mvd";
  static constexpr std::string_view kSignature = "Micro DVD Ini File";
  static constexpr std::size_t kBufferSize = 1024;

  std::int32_t valid = 0;         // 1 when the signature matched and the file was read
  std::string mvdPath;            // the file that was read
  std::string folder;             // the disk folder it was read for
  std::string title;              // "Title" of "MAIN"
  std::string moviePath;          // Directory and AVI name joined with '\\', below `folder`
  std::string resolvedMoviePath;  // moviePath below `folder`, as a platform path
  std::int32_t cdNumber = 0;      // "CDNumber" of "MAIN", clamped to 32 bits

  void Reset();
  bool IsValid() const { return valid != 0; }

  // Reads `fileName` in `folder`. True when the file's first section is the
  // signature "Micro DVD Ini File" (any case); every other content is optional.
  bool Read(Files& files, std::string_view folderPath, std::string_view fileName);

  // "Title [CD2]" when cdNumber is above 0, else the title alone.
  std::string DisplayTitle() const;
  // The AVI file as a platform path (resolvedMoviePath).
  std::string MoviePath() const { return resolvedMoviePath; }
};

// Decimal text to a number the way atoi reads it (leading white space, a sign, the
// digits up to the first other byte; 0 when there are none), except that a value
// beyond the 32-bit range is clamped to it instead of being undefined.
std::int32_t ClampedAtoi(std::string_view text);

}  // namespace quorvel

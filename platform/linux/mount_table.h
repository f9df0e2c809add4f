#pragma once
// The kernel's mount table (/proc/self/mountinfo) and /etc/fstab, parsed from their
// text so that tests can hand in tables of their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct MountEntry {
  std::uint32_t major = 0;  // device numbers of the mounted filesystem (st_dev)
  std::uint32_t minor = 0;
  std::string mountPoint;  // unescaped, absolute
  std::string fsType;      // "ext4", "iso9660", "fuse.sshfs", ...
  std::string source;      // "/dev/sr0", "server:/export", "tmpfs", ...
};

struct FstabEntry {
  std::string source;  // "/dev/sr0", "LABEL=...", "UUID=..."
  std::string mountPoint;
  std::string fsType;
};

// The lines of a mountinfo text in their order (later mounts last). Lines that do not
// have the mountinfo shape are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The entries of an fstab text; comments and malformed lines are skipped.
std::vector<FstabEntry> ParseFstab(std::string_view text);

// Undoes the octal escapes ("\040" for a blank) that both tables use for bytes that
// would break their fields. A backslash not followed by three octal digits stays.
std::string UnescapeOctal(std::string_view field);

// True when `prefix` names `path` itself or a folder above it on whole components:
// "/media/cd" is a prefix of "/media/cd/x" but not of "/media/cdrom". "/" is a prefix
// of every absolute path.
bool IsComponentPrefix(std::string_view prefix, std::string_view path);

// The entry mounted last at the longest mount point that is a component prefix of
// `path`, or nullptr.
const MountEntry* FindMountFor(const std::vector<MountEntry>& table, std::string_view path);

// True when an fstab entry belongs to an optical drive: an optical filesystem type
// (iso9660, udf) or a source that names one (/dev/srN, /dev/cdrom..., /dev/dvd...).
bool IsOpticalFstabEntry(const FstabEntry& entry);

// True for "/dev/srN" style names: "sr" followed by digits only.
bool IsOpticalDeviceName(std::string_view name);

}  // namespace quorvel

#pragma once
// The volumes-and-drives service on Linux: roots from the mount table, labels from
// udev's records or the filesystem itself, drive types from sysfs, trays through the
// CD-ROM ioctls.

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/mount_table.h"
#include "platform/linux/unique_handles.h"
#include "platform/volumes.h"

namespace quorvel {

// Where the backend reads the system's state. Tests point these at files and
// folders of their own.
struct LinuxVolumeSources {
  std::string mountInfo = "/proc/self/mountinfo";
  std::string fstab = "/etc/fstab";
  std::string byLabel = "/dev/disk/by-label";  // udev's label links
  std::string udevData = "/run/udev/data";     // udev's device records ("b11:0")
  std::string sysDevBlock = "/sys/dev/block";  // "MAJOR:MINOR" links to block devices
  std::string devDir = "/dev";                 // where srN device nodes live
  // Unmount before ejecting, and mount a medium that nobody mounted, through udisks2
  // when it runs.
  bool useUdisks = true;
};

// Not thread-safe: one object serves one thread, as the user-interface thread that
// polls the disk.
class LinuxVolumes final : public Volumes {
 public:
  // How long a mount request waits for udisks2, which may have to spin the disk up.
  static constexpr std::chrono::seconds kUdisksMountTimeout{10};

  LinuxVolumes() = default;
  explicit LinuxVolumes(LinuxVolumeSources sources) : sources_(std::move(sources)) {}
  LinuxVolumes(LinuxVolumes&& other) noexcept = default;
  LinuxVolumes& operator=(LinuxVolumes&& other) noexcept = default;

  std::string VolumeRoot(std::string_view path) override;
  std::string DiskFolder(std::string_view path) override;
  std::optional<std::string> VolumeLabel(std::string_view root) override;
  DriveTypeCode DriveType(std::string_view root) override;
  std::string FindFirstCdDrive() override;
  std::string DriveDevice(std::string_view path) override;
  // Block devices (whole disks and partitions) whose udev record says they hold a
  // filesystem, on a disk that sysfs marks removable, on a USB or FireWire bus, or in
  // an SD card slot: by their device paths below devDir, sorted by them.
  std::vector<RemovableMedium> RemovableMedia() override;
  bool EjectMedia(std::string_view path, bool eject) override;

 private:
  // The mount table, read again only when it changed. The kernel flags every change
  // of /proc/self/mountinfo on its open descriptor (POLLPRI), so an unchanged table
  // costs one poll; a table that is a plain file (tests) is read on every call.
  const std::vector<MountEntry>& Mounts();
  // fstab, read again when its inode, size or modification time changed.
  const std::vector<FstabEntry>& FstabEntries();
  // The label of the filesystem mounted by `mount`; "" when it has none or it cannot
  // be read.
  std::string ReadLabel(const MountEntry& mount);

  // What a disk path names: an optical drive's device, with the entry mounted from it
  // (nullptr while nothing is), or a path in the file tree, with its stat when it
  // exists. `mounted` points into `table`.
  struct DiskPath {
    bool exists = false;
    struct stat st {};
    bool isDevice = false;
    const MountEntry* mounted = nullptr;
  };
  DiskPath Classify(const std::vector<MountEntry>& table, std::string_view path) const;
  // Classify over the current mount table; an optical drive whose medium holds a
  // filesystem that nobody mounted has it mounted through udisks2 first.
  DiskPath ClassifyMounting(std::string_view path);
  // What sysfs and udev say of the block device "MAJOR:MINOR": its name ("sdb1"), its
  // folder in sysfs, its udev record; nullopt when sysfs does not list it.
  struct BlockDevice {
    std::string numbers;
    std::string name;
    std::string sysFolder;
    std::string record;
  };
  std::optional<BlockDevice> DescribeBlockDevice(const std::string& numbers) const;
  // The listed block device named `name`, found through sysfs' links.
  std::optional<BlockDevice> FindBlockDevice(std::string_view name) const;
  // Whether the device is a removable medium, as RemovableMedia takes it.
  bool IsRemovableMedium(const BlockDevice& device) const;
  // Asks udisks2 to mount the filesystem on the medium of the optical drive, or on the
  // removable medium, at `path`,
  // once per medium: a medium that was asked for before (mounted then, refused, or
  // udisks2 missing) is not asked for again until the drive shows another medium or
  // none. True when udisks2 mounted it.
  bool MountMedium(std::string_view path, const DiskPath& disk);

  struct CachedLabel {
    std::string mountPoint;
    std::string source;
    std::string label;
  };

  LinuxVolumeSources sources_;
  UniqueFd mountInfoFd_;
  bool mountInfoPollable_ = false;
  bool mountsValid_ = false;
  std::vector<MountEntry> mounts_;
  // Labels of mounted filesystems, kept only while the kernel's table is unchanged: a
  // new medium is a new mount.
  std::vector<CachedLabel> labels_;
  struct FileStamp {
    std::uint64_t inode = 0, size = 0;
    std::int64_t seconds = -1, nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
  };
  FileStamp fstabStamp_;
  std::vector<FstabEntry> fstab_;
  // The medium of each optical drive that a mount was asked for, by drive.
  struct TriedMedium {
    std::string drive;
    std::string medium;
  };
  std::vector<TriedMedium> triedMedia_;
};

}  // namespace quorvel

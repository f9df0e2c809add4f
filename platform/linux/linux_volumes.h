#pragma once
// The volumes-and-drives service on Linux: roots from the mount table, labels from
// udev's records or the filesystem itself, drive types from sysfs, trays through the
// CD-ROM ioctls.

#include <string>

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
  bool useUdisks = true;                       // unmount through udisks2 when it runs
};

class LinuxVolumes final : public Volumes {
 public:
  LinuxVolumes() = default;
  explicit LinuxVolumes(LinuxVolumeSources sources) : sources_(std::move(sources)) {}

  std::string VolumeRoot(std::string_view path) override;
  bool VolumeLabel(std::string_view root, std::string& label) override;
  std::int32_t DriveType(std::string_view root) override;
  std::string FindFirstCdDrive() override;
  bool EjectMedia(std::string_view path, bool eject) override;

 private:
  LinuxVolumeSources sources_;
};

}  // namespace quorvel

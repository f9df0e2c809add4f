#pragma once
// The volumes-and-drives service over the Windows drive functions: roots are drive
// letters and network shares, labels and drive types come from the system, trays
// move through the storage device controls.

#include "platform/volumes.h"

namespace quorvel {

class Win32Volumes final : public Volumes {
 public:
  std::string VolumeRoot(std::string_view path) override;
  std::string DiskFolder(std::string_view path) override;
  std::optional<std::string> VolumeLabel(std::string_view root) override;
  DriveTypeCode DriveType(std::string_view root) override;
  std::string FindFirstCdDrive() override;
  std::string DriveDevice(std::string_view path) override;
  std::vector<RemovableMedium> RemovableMedia() override;
  bool EjectMedia(std::string_view path, bool eject) override;
};

}  // namespace quorvel

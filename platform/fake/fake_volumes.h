#pragma once
// A volumes service over drives that a test adds, and disks that it inserts, relabels
// and removes between two calls: what the disk poll of a window sees when the user
// changes disks. Works on any platform; paths compare as text, with '\\' and '/' both
// taken as separators.
//
// A drive has a root (VolumeRoot's answer for every path on it, disk or none, as a
// drive letter's root is) and a type. A disk in it has a label and a folder holding
// its files, by default the root without its trailing separator, so that a real or
// fake folder can stand for a disk; DiskFolder maps paths below the root into it.

#include <string>
#include <string_view>
#include <vector>

#include "platform/volumes.h"

namespace quorvel {

class FakeVolumes final : public Volumes {
 public:
  // Adds a drive at `root` ("D:\\", "/media/cd/"; a missing trailing separator is
  // added), without a disk.
  void AddDrive(std::string_view root, DriveTypeCode type = kDriveCdRom);
  // Puts a disk labelled `label` into the drive at `root` (added as an optical drive
  // when there is none), its files in `folder` ("" for the root's own folder).
  void Insert(std::string_view root, std::string_view label, std::string_view folder = {});
  void Relabel(std::string_view root, std::string_view label);
  // Takes the disk out; the drive stays, empty.
  void Remove(std::string_view root);
  void SetDriveType(std::string_view root, DriveTypeCode type);

  // What EjectMedia was asked, in order. Opening the tray of an optical drive takes its
  // disk out; a tray request fails for any other drive and when `refuseTray` is set.
  struct TrayRequest {
    std::string path;
    bool eject = false;
  };
  std::vector<TrayRequest> trayRequests;
  bool refuseTray = false;

  std::string VolumeRoot(std::string_view path) override;
  std::string DiskFolder(std::string_view path) override;
  std::optional<std::string> VolumeLabel(std::string_view root) override;
  DriveTypeCode DriveType(std::string_view root) override;
  std::string FindFirstCdDrive() override;
  // The drive's root for a path that names an optical drive's root ("" otherwise).
  std::string DriveDevice(std::string_view path) override;
  // Every drive of type kDriveRemovable that holds a disk, by its root; each Insert is
  // another medium.
  std::vector<RemovableMedium> RemovableMedia() override;
  bool EjectMedia(std::string_view path, bool eject) override;

 private:
  struct Drive {
    std::string root;  // ends in a separator
    DriveTypeCode type = kDriveCdRom;
    bool hasDisk = false;
    std::string label;
    std::string folder;
    int medium = 0;  // counts the disks put in
  };
  // The drive whose root is `root`, or that holds `path`; nullptr when none does.
  Drive* At(std::string_view root);
  Drive* Holding(std::string_view path);

  std::vector<Drive> drives_;  // in the order they were added
};

}  // namespace quorvel

#pragma once
// Volumes and drives: where a disk path's volume starts, its label and drive type, the
// first optical drive, and opening or closing a drive's tray.
//
// A disk path is whatever the user points the program at: a drive root, any folder,
// or, where the platform names drives by their devices, an optical drive's device,
// which stands for the medium mounted from it. None of these calls shows a message;
// failures come back as "", nullopt, false or the code 0/1.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Drive type codes, numbered as the Windows drive-type query numbers them.
enum DriveTypeCode : std::int32_t {
  kDriveUnknown = 0,    // the type cannot be determined
  kDriveNoRootDir = 1,  // the root is missing or invalid
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdRom = 5,
  kDriveRamDisk = 6,
};

// The text shown for a drive type code: "CD-ROM drive" for 5, ...; "" for a code
// outside 0..6.
std::string DriveTypeName(std::int32_t code);

class Volumes {
 public:
  virtual ~Volumes() = default;

  // The root of the volume that holds `path`, ending in the separator ("D:\\",
  // "\\\\server\\share\\"), or "" when the platform can tell that no volume holds
  // it: an empty or relative path, a drive's device with nothing mounted from it, a
  // folder kept for an optical drive while nothing is mounted there.
  virtual std::string VolumeRoot(std::string_view path) = 0;

  // The folder whose entries are the files of the disk at `path`, the one folder that
  // disk reading reads and launcher closing compares with. For an optical drive's
  // device, the folder the medium mounted from it is reached at; for a folder, the
  // folder itself, with links resolved where the platform has them (else the path as
  // given). "" when `path` holds no disk folder: an empty path, a path that does not
  // exist or is not a folder (a regular file, a link loop), a device with nothing
  // mounted from it.
  virtual std::string DiskFolder(std::string_view path) = 0;

  // The label of the volume at `root` (as VolumeRoot gives it) when a volume answers
  // there; a volume without a label gives "". nullopt when nothing answers (an empty
  // drive, "" root, a root that is no longer there). Never asks the user anything.
  virtual std::optional<std::string> VolumeLabel(std::string_view root) = 0;

  // The type of the drive at `root`; kDriveNoRootDir for "" or a root that names no
  // drive the platform knows.
  virtual DriveTypeCode DriveType(std::string_view root) = 0;

  // The disk path of the first optical drive (its root "D:\\", or its device where
  // drives are named by devices), or "" when there is none.
  virtual std::string FindFirstCdDrive() = 0;

  // The device a player opens to read the disk in the optical drive that `path` names
  // itself (the drive's device, "/dev/sr0", where drives are named by devices; "D:" for
  // the drive root "D:\\"), as the path names it; "" when `path` is a folder (a folder
  // on the drive's medium included) or names no optical drive.
  virtual std::string DriveDevice(std::string_view path) = 0;

  // A removable medium that is not an optical drive's (a USB stick, a memory card, a USB
  // disk) and holds a filesystem: the disk path to read it by, and what tells this
  // medium from the next one in the same slot (another stick, or the same one plugged
  // in again).
  struct RemovableMedium {
    std::string path;
    std::string identity;
    bool operator==(const RemovableMedium&) const = default;
  };
  // The removable media there now, mounted or not, in a stable order.
  virtual std::vector<RemovableMedium> RemovableMedia() = 0;

  // Opens (eject true) or closes (eject false) the tray of the optical drive that
  // `path` names or holds the medium of; a mounted medium is unmounted before the
  // tray opens. False, without touching any device, for a path that is no optical
  // drive (a network path, an ordinary folder); false when the drive refuses.
  virtual bool EjectMedia(std::string_view path, bool eject) = 0;
};

}  // namespace quorvel

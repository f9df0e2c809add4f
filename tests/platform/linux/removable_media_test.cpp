// Removable media as the Linux volumes see them on a machine described by files: USB
// sticks, card readers' cards and SD cards in a slot of the machine, by udev's records and
// sysfs; what is never one (fixed disks, loop devices, optical drives); the device a DVD
// player opens; and which udev events bring or take a medium.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fake_machine.h"
#include "platform/linux/udev_event.h"
#include "recorded_disk_events.h"

namespace quorvel {
namespace {

using testing::FakeMachine;
using testing::MountLine;
using testing::ParseUdevMonitorText;

// Block device `name` ("sdb1") of `numbers` ("8:17") in sysfs below `disk` ("sdb"), with
// the disk's "removable" and udev's record of it.
void Device(FakeMachine& machine, const std::string& numbers, const std::string& disk,
            const std::string& name, const std::string& removable, const std::string& record) {
  testing::TempTree& tree = machine.Tree();
  tree.File("sys/devices/" + disk + "/removable", removable + "\n");
  const std::string folder =
      name == disk ? "sys/devices/" + disk : "sys/devices/" + disk + "/" + name;
  tree.Folder(folder);
  std::filesystem::create_directory_symlink(tree.Path(folder),
                                            tree.Path("sys/dev/block/" + numbers));
  tree.File("udev/b" + numbers, record);
}

std::string FilesystemRecord(const std::string& label, const std::string& more = "") {
  return "E:ID_FS_USAGE=filesystem\nE:ID_FS_TYPE=vfat\nE:ID_FS_UUID=6A3B-0C14\nE:ID_FS_LABEL=" +
         label + "\n" + more;
}

TEST(RemovableMedia, SticksAndCardsByUdevAndSysfsNeverFixedDisksOrDrives) {
  FakeMachine machine;
  testing::TempTree& tree = machine.Tree();
  Device(machine, "8:17", "sdb", "sdb1", "1", FilesystemRecord("MOVIES", "E:ID_BUS=usb\n"));
  Device(machine, "8:16", "sdb", "sdb", "1", "E:ID_PART_TABLE_TYPE=dos\n");  // its disk
  // A USB disk that calls itself fixed, a card in a reader (the whole disk), an SD card
  // in the machine's slot (removable 0, type SD), soldered eMMC (type MMC).
  Device(machine, "8:33", "sdc", "sdc1", "0", FilesystemRecord("BACKUP", "E:ID_BUS=usb\n"));
  Device(machine, "8:48", "sdd", "sdd", "1", FilesystemRecord("CARD"));
  Device(machine, "179:1", "mmcblk0", "mmcblk0p1", "0", FilesystemRecord("SDCARD"));
  tree.File("sys/devices/mmcblk0/device/type", "SD\n");
  Device(machine, "179:33", "mmcblk1", "mmcblk1p1", "0", FilesystemRecord("EMMC"));
  tree.File("sys/devices/mmcblk1/device/type", "MMC\n");
  // Never media: the system disk, a loop device, an optical drive, a stick without a
  // filesystem.
  Device(machine, "254:1", "vda", "vda1", "0", FilesystemRecord("ROOT", "E:ID_BUS=ata\n"));
  Device(machine, "7:0", "loop0", "loop0", "1", FilesystemRecord("SNAP"));
  Device(machine, "11:0", "sr0", "sr0", "1", FilesystemRecord("DVD"));
  Device(machine, "8:65", "sde", "sde1", "1", "E:ID_BUS=usb\n");
  tree.File("sys/devices/sdb/diskseq", "16\n");

  LinuxVolumes volumes = machine.Volumes();
  const std::vector<Volumes::RemovableMedium> media = volumes.RemovableMedia();
  std::vector<std::string> paths;
  for (const auto& medium : media) paths.push_back(medium.path);
  const std::string dev = tree.Path("dev/");
  EXPECT_EQ(paths,
            (std::vector<std::string>{dev + "mmcblk0p1", dev + "sdb1", dev + "sdc1", dev + "sdd"}));
  EXPECT_EQ(media[1].identity, "8:17|16|vfat|6A3B-0C14|MOVIES");

  // Another stick in the same slot is another medium.
  tree.File("sys/devices/sdb/diskseq", "17\n");
  EXPECT_NE(machine.Volumes().RemovableMedia()[1].identity, media[1].identity);

  // Mounted under the user's media folder, the device reads as its folder, a removable
  // disk with the stick's label.
  const std::string point = tree.Folder("media/user/MOVIES");
  machine.Mounts(std::string("26 1 0:99999 / / rw - ext4 /dev/vda rw\n") +
                 MountLine(40, "8:17", point, "vfat", dev + "sdb1"));
  LinuxVolumes mounted = machine.Volumes();
  EXPECT_EQ(mounted.DiskFolder(dev + "sdb1"), std::filesystem::canonical(point).string());
  const std::string root = mounted.VolumeRoot(dev + "sdb1");
  EXPECT_EQ(mounted.VolumeLabel(root), "MOVIES");
  EXPECT_EQ(mounted.DriveType(root), kDriveRemovable);
  // A stick is no optical drive: a player gets no device for it.
  EXPECT_EQ(mounted.DriveDevice(dev + "sdb1"), "");
  EXPECT_EQ(mounted.DriveDevice(point), "");
}

TEST(RemovableMedia, ThePlayerOfAnOpticalDrivesDiskGetsTheDrive) {
  FakeMachine machine;
  const std::string folder = machine.Disk("media/cdrom", 0, "HOLIDAY");
  std::ofstream(machine.Tree().Path("dev/sr0"));
  LinuxVolumes volumes = machine.Volumes();
  const std::string drive = machine.Tree().Path("dev/sr0");
  EXPECT_EQ(volumes.DriveDevice(drive), drive);
  EXPECT_EQ(volumes.DriveDevice(folder), "") << "the drive's folder is a folder";
  EXPECT_EQ(volumes.DriveDevice(machine.Tree().Path("dev/sr7")), machine.Tree().Path("dev/sr7"));
  EXPECT_EQ(volumes.DriveDevice(""), "");
}

TEST(RemovableMedia, UdevEventsThatBringOrTakeAMedium) {
  std::ifstream in(std::string(QUORVEL_TEST_DATA) + "/udev/unrelated-block-events.txt");
  const std::string recording((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
  // The recording's USB stick comes (its partition's filesystem) and goes; a card reader
  // reports a card; the optical drive's events and the system disk's are not media
  // events of this kind, nor the kernel's raw copies of the stick's.
  std::vector<std::string> relevant;
  for (const auto& event : ParseUdevMonitorText(recording)) {
    if (!event.processed || !IsRemovableMediumEvent(event.properties)) continue;
    relevant.push_back(std::string(*FindUdevProperty(event.properties, "ACTION")) + " " +
                       std::string(*FindUdevProperty(event.properties, "DEVNAME")));
  }
  EXPECT_EQ(relevant,
            (std::vector<std::string>{"add /dev/sdb1", "change /dev/sdc", "remove /dev/sdb1"}));
  const UdevProperties card = {{"ACTION", "change"},
                               {"SUBSYSTEM", "block"},
                               {"DEVTYPE", "disk"},
                               {"DEVNAME", "/dev/sdc"},
                               {"DISK_MEDIA_CHANGE", "1"}};
  EXPECT_TRUE(IsRemovableMediumEvent(card));
  UdevProperties loop = card;
  loop[3].second = "/dev/loop3";
  EXPECT_FALSE(IsRemovableMediumEvent(loop));
  UdevProperties optical = card;
  optical[3].second = "/dev/sr0";
  EXPECT_FALSE(IsRemovableMediumEvent(optical));
  EXPECT_TRUE(IsOpticalMediumEvent(optical));
}

}  // namespace
}  // namespace quorvel

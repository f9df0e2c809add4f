#include "platform/linux/linux_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_machine.h"
#include "platform/linux/mount_table.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::Escape;
using testing::FakeMachine;
using testing::MountLine;
using testing::TempTree;

TEST(MountTable, ParsesEscapesAndSkipsBrokenLines) {
  const auto table = ParseMountInfo(
      "26 1 254:0 / / rw - ext4 /dev/vda rw\n"
      "40 26 11:0 / /media/My\\040Disk\\011x\\134y rw shared:5 master:2 - iso9660 /dev/sr0 ro\n"
      "garbage line\n"
      "41 26 x:y / /bad rw - ext4 /dev/x rw\n"
      "42 26 0:5 / relative rw - tmpfs tmpfs rw\n"
      "43 26 0:6 / /no-dash rw tmpfs tmpfs rw\n");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[1].mountPoint, "/media/My Disk\tx\\y");
  EXPECT_EQ(table[1].major, 11u);
  EXPECT_EQ(table[1].fsType, "iso9660");
  EXPECT_EQ(table[1].source, "/dev/sr0");
  EXPECT_EQ(UnescapeOctal("a\\04"), "a\\04");
  EXPECT_EQ(UnescapeOctal("\\400"), std::string(1, '\0'));

  const auto fstab = ParseFstab(
      "# comment\n"
      "/dev/sr0 /media/cdrom0 udf,iso9660 user,noauto 0 0\n"
      "UUID=1234 / ext4 defaults 0 1\n"
      "/dev/cdrw /mnt/cd\\040rw auto noauto\n"
      "LABEL=x /mnt/usb vfat defaults\n"
      "short\n");
  ASSERT_EQ(fstab.size(), 4u);
  EXPECT_TRUE(IsOpticalFstabEntry(fstab[0]));
  EXPECT_FALSE(IsOpticalFstabEntry(fstab[1]));
  EXPECT_TRUE(IsOpticalFstabEntry(fstab[2]));
  EXPECT_EQ(fstab[2].mountPoint, "/mnt/cd rw");
  EXPECT_FALSE(IsOpticalFstabEntry(fstab[3]));

  EXPECT_TRUE(IsComponentPrefix("/media/cd", "/media/cd/x"));
  EXPECT_TRUE(IsComponentPrefix("/media/cd/", "/media/cd"));
  EXPECT_FALSE(IsComponentPrefix("/media/cd", "/media/cdrom"));
  EXPECT_TRUE(IsComponentPrefix("/", "/anything"));
  EXPECT_FALSE(IsComponentPrefix("/", "relative"));
}

TEST(LinuxVolumes, VolumeRootIsTheDeepestMountOnWholeComponents) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  const std::string disk = tree.Folder("media/My Disk");
  tree.Folder("media/My Disk/films");
  tree.Folder("media/cd");
  tree.Folder("media/cdrom");
  tree.Folder("media/cdrom2");
  const std::string over = tree.Folder("over");
  std::filesystem::create_directory_symlink(disk, tree.Path("link"));
  machine.Mounts(MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                 MountLine(40, "11:0", disk, "iso9660", "/dev/sr0") +
                 MountLine(41, "0:40", tree.Path("media/cd"), "tmpfs", "tmpfs") +
                 MountLine(42, "8:1", over, "ext4", "/dev/sda1") +
                 MountLine(43, "8:17", over, "vfat", "/dev/sdb1"));
  machine.Fstab("/dev/sr1 " + Escape(tree.Path("media/cdrom")) + " iso9660 noauto 0 0\n" +
                "/dev/sr1 " + Escape(tree.Path("media/cdrom2")) + " auto noauto 0 0\n");
  LinuxVolumes volumes = machine.Volumes();

  EXPECT_EQ(volumes.VolumeRoot(disk), disk + "/");
  EXPECT_EQ(volumes.VolumeRoot(disk + "/films/x.avi"), disk + "/");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("link/films")), disk + "/");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media/cd")), tree.Path("media/cd/"));
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media/cd/../cd/x")), tree.Path("media/cd/"));
  // "cd" is no prefix of "cdrom"; fstab keeps cdrom for an optical drive with nothing
  // mounted, so that folder is an empty drive. cdrom2's fstab line names no optical
  // type but an optical device.
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media/cdrom")), "");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media/cdrom/x")), "");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media/cdrom2")), "");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("media")), "/");
  EXPECT_EQ(volumes.VolumeRoot(over), over + "/");
  // Devices stand for their mounted medium; an unmounted drive has no root.
  EXPECT_EQ(volumes.VolumeRoot("/dev/sr0"), disk + "/");
  EXPECT_EQ(volumes.VolumeRoot(tree.Path("dev/sr1")), "");
  EXPECT_EQ(volumes.VolumeRoot(""), "");
  EXPECT_EQ(volumes.VolumeRoot("relative/folder"), "/");
}

TEST(LinuxVolumes, DiskFolderIsWhereTheDisksFilesAre) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  const std::string medium = machine.Disk("media/A Disk\t\\x", 0, "A");
  tree.Folder("media/A Disk\t\\x/films");
  machine.Disk("gone", 2, "GONE");
  std::filesystem::remove(tree.Path("gone"));
  const std::string file = tree.File("plain/file.txt");
  std::filesystem::create_directory_symlink("media/A Disk\t\\x", tree.Path("link"));
  std::filesystem::create_symlink("loop2", tree.Path("loop1"));
  std::filesystem::create_symlink("loop1", tree.Path("loop2"));
  LinuxVolumes volumes = machine.Volumes();

  // A drive's device: the mount point of its medium, unescaped from the table.
  EXPECT_EQ(volumes.DiskFolder("/dev/sr0"), medium);
  // A folder: its real path, links and ".." resolved, without a trailing separator.
  EXPECT_EQ(volumes.DiskFolder(medium + "/films/"), medium + "/films");
  EXPECT_EQ(volumes.DiskFolder(tree.Path("link")), medium);
  EXPECT_EQ(volumes.DiskFolder(tree.Path("link/films/..")), medium);
  EXPECT_EQ(volumes.DiskFolder("/"), "/");
  // No folder: nothing mounted from the drive, a mount point that is gone, a file, a
  // missing path, a link loop, no path.
  for (const std::string& path : {tree.Path("dev/sr1"), std::string("/dev/sr2"), file,
                                  tree.Path("missing"), tree.Path("loop1"), std::string()}) {
    EXPECT_EQ(volumes.DiskFolder(path), "") << path;
  }
}

TEST(LinuxVolumes, LabelsComeFromUdevLinksOrNothing) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  const std::string optical = tree.Folder("media/optical");
  const std::string usb = tree.Folder("media/usb");
  const std::string ram = tree.Folder("media/ram");
  const std::string image = tree.File("usb.img", "not a filesystem");
  tree.File("udev/b11:0",
            "S:disk/by-label/MOVIE\\x20DISK\nE:ID_FS_TYPE=iso9660\n"
            "E:ID_FS_LABEL=MOVIE_DISK\nE:ID_FS_LABEL_ENC=MOVIE\\x20DISK\n");
  tree.File("udev/b8:1", "E:ID_FS_TYPE=vfat\n");
  std::filesystem::create_symlink(image, tree.Path("by-label/Holiday\\x20Films"));
  std::filesystem::create_symlink(tree.Path("gone"), tree.Path("by-label/Dangling"));
  machine.Mounts(MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                 MountLine(40, "11:0", optical, "iso9660", "/dev/sr0") +
                 MountLine(41, "7:0", usb, "vfat", image) +
                 MountLine(42, "8:1", tree.Path("media/unlabelled"), "vfat", "/dev/sdz1") +
                 MountLine(43, "0:40", ram, "tmpfs", "tmpfs") +
                 MountLine(44, "0:41", tree.Path("media/vanished"), "ext4", "/dev/sdy1"));
  tree.Folder("media/unlabelled");
  LinuxVolumes volumes = machine.Volumes();

  EXPECT_EQ(volumes.VolumeLabel(optical + "/"), "MOVIE DISK");
  EXPECT_EQ(volumes.VolumeLabel(optical), "MOVIE DISK");
  EXPECT_EQ(volumes.VolumeLabel(usb + "/"), "Holiday Films");
  // Known to udev without a label, a filesystem without a device, an image libblkid
  // does not recognise: empty labels, not failures.
  EXPECT_EQ(volumes.VolumeLabel(tree.Path("media/unlabelled/")), "");
  EXPECT_EQ(volumes.VolumeLabel(ram + "/"), "");
  // Nothing answers: no root, a folder that is no mount point, a mount point gone.
  EXPECT_EQ(volumes.VolumeLabel(""), std::nullopt);
  EXPECT_EQ(volumes.VolumeLabel(tree.Path("media/")), std::nullopt);
  EXPECT_EQ(volumes.VolumeLabel(tree.Path("media/vanished/")), std::nullopt);
}

TEST(LinuxVolumes, DriveTypesFromTheMountAndSysfs) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  tree.File("sys/devices/sda/removable", "1\n");
  tree.Folder("sys/devices/sda/sda1");
  tree.File("sys/devices/vda/removable", "0\n");
  tree.Folder("sys/devices/vda/vda1");
  tree.Folder("sys/devices/sr3");
  std::filesystem::create_directory_symlink(tree.Path("sys/devices/sda/sda1"),
                                            tree.Path("sys/dev/block/8:1"));
  std::filesystem::create_directory_symlink(tree.Path("sys/devices/vda/vda1"),
                                            tree.Path("sys/dev/block/254:1"));
  std::filesystem::create_directory_symlink(tree.Path("sys/devices/sr3"),
                                            tree.Path("sys/dev/block/259:0"));
  std::string mounts;
  int id = 30;
  for (const auto& [point, devices, type, source] :
       std::initializer_list<std::array<std::string, 4>>{
           {"usb", "8:1", "vfat", "/dev/sda1"},
           {"fixed", "254:1", "ext4", "/dev/vda1"},
           {"optical", "11:0", "udf", "/dev/sr0"},
           {"renamed", "259:0", "iso9660", "/dev/sr3"},
           {"nas", "0:50", "nfs4", "nas:/export"},
           {"share", "0:51", "cifs", "//nas/share"},
           {"ram", "0:52", "tmpfs", "tmpfs"},
           {"fuse", "0:53", "fuse.fuseiso", "fuseiso"},
           {"nosys", "8:33", "ext4", "/dev/sdc1"}}) {
    mounts += MountLine(id++, devices, tree.Folder(point), type, source);
  }
  machine.Mounts(mounts);
  LinuxVolumes volumes = machine.Volumes();
  EXPECT_EQ(volumes.DriveType(tree.Path("usb/")), kDriveRemovable);
  EXPECT_EQ(volumes.DriveType(tree.Path("fixed/")), kDriveFixed);
  EXPECT_EQ(volumes.DriveType(tree.Path("optical/")), kDriveCdRom);
  EXPECT_EQ(volumes.DriveType(tree.Path("renamed/")), kDriveCdRom);
  EXPECT_EQ(volumes.DriveType(tree.Path("nas/")), kDriveRemote);
  EXPECT_EQ(volumes.DriveType(tree.Path("share/")), kDriveRemote);
  EXPECT_EQ(volumes.DriveType(tree.Path("ram/")), kDriveRamDisk);
  EXPECT_EQ(volumes.DriveType(tree.Path("fuse/")), kDriveUnknown);
  EXPECT_EQ(volumes.DriveType(tree.Path("nosys/")), kDriveUnknown);
  EXPECT_EQ(volumes.DriveType(tree.Path("usb/inside/")), kDriveNoRootDir);
  EXPECT_EQ(volumes.DriveType(""), kDriveNoRootDir);
}

TEST(LinuxVolumes, FirstOpticalDriveIsTheLowestNumber) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  EXPECT_EQ(machine.Volumes().FindFirstCdDrive(), "");
  for (const char* name : {"sr10", "sr2", "sr1x", "srx", "sda", "sr"})
    tree.File(std::string("dev/") + name);
  EXPECT_EQ(machine.Volumes().FindFirstCdDrive(), tree.Path("dev/sr2"));
}

TEST(LinuxVolumes, EjectRefusesPathsThatAreNoOpticalDrive) {
  FakeMachine machine;
  TempTree& tree = machine.Tree();
  const std::string fixed = tree.Folder("fixed");
  const std::string optical = tree.Folder("optical");
  machine.Mounts(MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                 MountLine(30, "254:1", fixed, "ext4", "/dev/vda1") +
                 MountLine(31, "11:0", optical, "iso9660", tree.Path("dev/sr0")));
  LinuxVolumes volumes = machine.Volumes();
  EXPECT_FALSE(volumes.EjectMedia("\\\\srv\\share\\", true));
  EXPECT_FALSE(volumes.EjectMedia("", true));
  EXPECT_FALSE(volumes.EjectMedia(fixed, true));
  EXPECT_FALSE(volumes.EjectMedia(fixed, false));
  EXPECT_FALSE(volumes.EjectMedia(tree.Path("dev/sda"), false));
  // An optical drive whose node cannot be opened (here: a drive that is not there)
  // reports failure too.
  EXPECT_FALSE(volumes.EjectMedia(tree.Path("dev/sr0"), false));
  EXPECT_FALSE(volumes.EjectMedia(optical, false));
}

}  // namespace
}  // namespace quorvel

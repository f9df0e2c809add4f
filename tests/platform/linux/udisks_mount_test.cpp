// A medium that nobody mounted is mounted through udisks2, once per medium, and read
// where udisks2 mounted it; a refusal leaves "No Disk" and is not asked again until the
// drive shows another medium; the full-screen window shows the medium or "No Disk".
// udisks2 is python3-dbusmock on a private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <string>

#include "app/settings.h"
#include "disk/default_disk.h"
#include "disk/disk_info.h"
#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "fake_machine.h"
#include "platform/fake/fake_services.h"
#include "platform/linux/linux_volumes.h"
#include "platform/linux/posix_files.h"
#include "udisks_mock.h"

namespace quorvel {
namespace {

using testing::FakeMachine;
using testing::UdisksMock;

constexpr const char* kRootLine = "26 1 0:99999 / / rw - ext4 /dev/vda rw\n";

class UdisksMountTest : public ::testing::Test {
 protected:
  UdisksMountTest() {
    tree_.Folder("media/HOLIDAY_2009");
    tree_.SparseFile("media/HOLIDAY_2009/HOLIDAY.MPG", 2u << 20);
    tree_.SparseFile("media/HOLIDAY_2009/BEACH.MPG", 2u << 20);
    machine_.Mounts(kRootLine);
    tree_.File("dev/sr0");
    Medium(14, "2009-03-14-21-07-33-00", "HOLIDAY_2009");
  }

  // The medium in sr0 as udev's probe recorded it, and the kernel's count of medium
  // changes.
  void Medium(int sequence, const std::string& uuid, const std::string& label) {
    tree_.File("udev/b11:0",
               "S:cdrom\nI:3120448\nE:ID_CDROM=1\nE:ID_CDROM_MEDIA=1\nE:ID_FS_UUID=" + uuid +
                   "\nE:ID_FS_LABEL=" + label + "\nE:ID_FS_LABEL_ENC=" + label +
                   "\nE:ID_FS_TYPE=iso9660\nE:ID_FS_USAGE=filesystem\n");
    tree_.File("sys/dev/block/11:0/diskseq", std::to_string(sequence) + "\n");
  }
  void EmptyDrive(int sequence) {
    tree_.File("udev/b11:0", "S:cdrom\nI:3120448\nE:ID_CDROM=1\n");
    tree_.File("sys/dev/block/11:0/diskseq", std::to_string(sequence) + "\n");
  }

  std::string Parameters(bool refuse) const {
    return R"({"drive": "sr0", "device": ")" + tree_.Path("dev/sr0") + R"(", "mountinfo": ")" +
           tree_.Path("mountinfo") + R"(", "mount_point": ")" + tree_.Path("media/HOLIDAY_2009") +
           R"(", "refuse": )" + (refuse ? "true" : "false") + "}";
  }

  LinuxVolumes Volumes() {
    LinuxVolumeSources sources;
    sources.mountInfo = tree_.Path("mountinfo");
    sources.fstab = tree_.Path("fstab");
    sources.byLabel = tree_.Path("by-label");
    sources.udevData = tree_.Path("udev");
    sources.sysDevBlock = tree_.Path("sys/dev/block");
    sources.devDir = tree_.Path("dev");
    sources.useUdisks = true;
    return LinuxVolumes(sources);
  }

  FakeMachine machine_;
  testing::TempTree& tree_ = machine_.Tree();
  Settings settings_;
  PosixFiles files_;
  DiskInfo disk_;
};

TEST_F(UdisksMountTest, UnmountedMediumIsMountedOnceAndRead) {
  UdisksMock udisks(tree_, Parameters(false));
  ASSERT_TRUE(udisks.Ready());
  LinuxVolumes volumes = Volumes();
  const std::string drive = tree_.Path("dev/sr0");

  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::Ok);
  EXPECT_TRUE(disk_.IsPresent());
  EXPECT_EQ(disk_.Label(), "HOLIDAY_2009");
  EXPECT_EQ(disk_.MovieCount(), 2u);
  EXPECT_EQ(volumes.DiskFolder(drive), tree_.Path("media/HOLIDAY_2009"));
  EXPECT_EQ(volumes.DriveType(volumes.VolumeRoot(drive)), kDriveCdRom);
  EXPECT_EQ(udisks.Calls("Mount"), 1) << udisks.Log();

  // Every later poll finds it mounted and asks nothing.
  for (int tick = 0; tick < 3; ++tick) disk_.ReadDisk(drive, settings_, volumes, files_);
  EXPECT_EQ(udisks.Calls("Mount"), 1);

  // Unmounted by someone else, the same medium stays unmounted: the program mounts a
  // medium once, it does not fight the user.
  machine_.Mounts(kRootLine);
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  EXPECT_EQ(udisks.Calls("Mount"), 1);

  // The same disk put in again is a new medium to the kernel.
  Medium(15, "2009-03-14-21-07-33-00", "HOLIDAY_2009");
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::Ok);
  EXPECT_EQ(disk_.MovieCount(), 2u);
  EXPECT_EQ(udisks.Calls("Mount"), 2);

  // A folder, or a drive without a filesystem on its medium, is never mounted.
  machine_.Mounts(kRootLine);
  EXPECT_EQ(volumes.DiskFolder(tree_.Path("media")), tree_.Path("media"));
  EmptyDrive(16);
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  EXPECT_EQ(udisks.Calls("Mount"), 2);
}

TEST_F(UdisksMountTest, RefusalLeavesNoDiskUntilTheMediumChanges) {
  UdisksMock udisks(tree_, Parameters(true));
  ASSERT_TRUE(udisks.Ready());
  LinuxVolumes volumes = Volumes();
  const std::string drive = tree_.Path("dev/sr0");

  for (int tick = 0; tick < 4; ++tick) {
    EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
    EXPECT_FALSE(disk_.IsPresent());
  }
  EXPECT_EQ(udisks.Calls("Mount"), 1) << udisks.Log();

  // Another disk: asked once more. The drive emptied and filled with a disk of the
  // same name and no sequence count (an older kernel): asked once more too.
  Medium(15, "2011-08-02-10-00-00-00", "SUMMER_2011");
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  EXPECT_EQ(udisks.Calls("Mount"), 2);
  tree_.File("udev/b11:0", "E:ID_CDROM=1\n");
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  Medium(15, "2011-08-02-10-00-00-00", "SUMMER_2011");
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  EXPECT_EQ(udisks.Calls("Mount"), 3);
}

TEST_F(UdisksMountTest, AStickThatNobodyMountedIsMountedOnceAndShownInsteadOfTheDrive) {
  // The optical drive holds its disk, mounted; then a USB stick (sdb1, 8:17) comes that
  // nobody mounts.
  machine_.Mounts(std::string(kRootLine) + testing::MountLine(40, "11:0",
                                                              tree_.Path("media/HOLIDAY_2009"),
                                                              "iso9660", tree_.Path("dev/sr0")));
  tree_.Folder("media/STICK");
  tree_.SparseFile("media/STICK/HOLIDAY.MKV", 2u << 20);
  const std::string parameters =
      R"({"drive": "sdb1", "numbers": "8:17", "fstype": "vfat", "device": ")" +
      tree_.Path("dev/sdb1") + R"(", "mountinfo": ")" + tree_.Path("mountinfo") +
      R"(", "mount_point": ")" + tree_.Path("media/STICK") + R"("})";
  UdisksMock udisks(tree_, parameters);
  ASSERT_TRUE(udisks.Ready());
  LinuxVolumes volumes = Volumes();
  DefaultDisk disk("");
  ASSERT_EQ(disk.Current(settings_, volumes, files_), tree_.Path("dev/sr0"));

  tree_.File("sys/devices/usb/sdb/removable", "1\n");
  tree_.Folder("sys/devices/usb/sdb/sdb1");
  std::filesystem::create_directory_symlink(tree_.Path("sys/devices/usb/sdb/sdb1"),
                                            tree_.Path("sys/dev/block/8:17"));
  tree_.File("udev/b8:17",
             "E:ID_BUS=usb\nE:ID_FS_USAGE=filesystem\nE:ID_FS_TYPE=vfat\n"
             "E:ID_FS_UUID=6A3B-0C14\nE:ID_FS_LABEL=STICK\n");
  const std::string stick = tree_.Path("dev/sdb1");
  EXPECT_EQ(disk.Current(settings_, volumes, files_), stick);
  EXPECT_EQ(udisks.Calls("Mount"), 1) << udisks.Log();
  EXPECT_EQ(volumes.DiskFolder(stick), tree_.Path("media/STICK"));
  EXPECT_EQ(disk_.ReadDisk(stick, settings_, volumes, files_), ReadResult::Ok);
  EXPECT_EQ(disk_.Label(), "STICK");
  EXPECT_EQ(disk_.MovieCount(), 1u);
  EXPECT_EQ(disk_.DriveType(volumes), kDriveRemovable);
  for (int tick = 0; tick < 3; ++tick) disk.Current(settings_, volumes, files_);
  EXPECT_EQ(udisks.Calls("Mount"), 1) << "asked once per medium";

  // Unmounted while still plugged in: the drive again, and not mounted a second time.
  machine_.Mounts(std::string(kRootLine) + testing::MountLine(40, "11:0",
                                                              tree_.Path("media/HOLIDAY_2009"),
                                                              "iso9660", tree_.Path("dev/sr0")));
  EXPECT_EQ(disk.Current(settings_, volumes, files_), tree_.Path("dev/sr0"));
  EXPECT_EQ(udisks.Calls("Mount"), 1);
}

TEST_F(UdisksMountTest, WithoutUdisksTheDriveReadsAsEmpty) {
  // A bus on which no udisks2 answers.
  testing::ChildProcess bus({"/usr/bin/dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf",
                             "--address=unix:path=" + tree_.Path("bus"), "--nofork", "--nopidfile"},
                            {});
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + tree_.Path("bus")).c_str(), 1);
  LinuxVolumes volumes = Volumes();
  const std::string drive = tree_.Path("dev/sr0");
  EXPECT_EQ(disk_.ReadDisk(drive, settings_, volumes, files_), ReadResult::NoVolume);
  EXPECT_EQ(volumes.DiskFolder(drive), "");
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  EXPECT_EQ(volumes.VolumeRoot(drive), "");
  ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

TEST_F(UdisksMountTest, TheWindowShowsTheMountedMediumOrNoDiskAndAsksOncePerMedium) {
  for (const bool refuse : {false, true}) {
    SCOPED_TRACE(refuse ? "refused" : "mounted");
    machine_.Mounts(kRootLine);
    Medium(refuse ? 21 : 20, "2009-03-14-21-07-33-00", "HOLIDAY_2009");
    UdisksMock udisks(tree_, Parameters(refuse));
    ASSERT_TRUE(udisks.Ready());
    LinuxVolumes volumes = Volumes();
    FakeServices fake;
    const Services services{files_,        volumes,       fake.processes,    fake.system,
                            fake.registry, fake.messages, fake.privateFiles, fake.diskEvents};
    Settings settings;
    CFullScreenDlg window(
        settings, services, [](QWidget&) { return false; }, nullptr, nullptr,
        tree_.Path("dev/sr0"));
    window.Create();
    EXPECT_EQ(window.Label().text(), refuse ? "No Disk" : "HOLIDAY_2009");
    EXPECT_EQ(window.MovieList().RowCount() > 0, !refuse);

    // Every later refresh (the system reporting changes) asks udisks2 nothing more.
    for (int wake = 1; wake <= 3; ++wake) {
      ASSERT_TRUE(fake.diskEvents.Signal());
      const QDeadlineTimer deadline(10000);
      while (fake.diskEvents.drains < wake && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      }
      ASSERT_EQ(fake.diskEvents.drains, wake);
    }
    EXPECT_EQ(window.Label().text(), refuse ? "No Disk" : "HOLIDAY_2009");
    EXPECT_EQ(udisks.Calls("Mount"), 1) << udisks.Log();
  }
}

}  // namespace
}  // namespace quorvel

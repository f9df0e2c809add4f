// What the full-screen window's disk poll sees: one DiskInfo read again and again while
// the user inserts, relabels and removes disks in a fake drive.
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/fake/fake_volumes.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

using testing::At;

TEST(DiskPoll, ADiskInsertedRelabelledAndRemovedBetweenReads) {
  testing::FakeTree tree;
  FakeVolumes volumes;
  Settings settings;
  settings.ReadConf = 0;
  const std::string drive = tree.Folder("drive");
  volumes.AddDrive(drive, kDriveCdRom);
  EXPECT_EQ(volumes.FindFirstCdDrive(), At(drive, ""));
  DiskInfo disk;

  // An empty drive: no disk, and the drive is still an optical drive.
  EXPECT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::NoVolume);
  EXPECT_FALSE(disk.IsPresent());
  EXPECT_EQ(volumes.DriveType(volumes.VolumeRoot(drive)), kDriveCdRom);

  // A disk goes in: its movies are read.
  const std::string first = tree.Folder("first");
  tree.SparseFile("first/alpha.avi", 1);
  tree.SparseFile("first/beta.mpg", 1);
  volumes.Insert(drive, "FIRST", first);
  ASSERT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_TRUE(disk.IsPresent());
  EXPECT_EQ(disk.Label(), "FIRST");
  EXPECT_EQ(disk.Folder(), first);
  EXPECT_EQ(disk.Root(), At(drive, ""));
  EXPECT_EQ(disk.MovieCount(), 2u);
  EXPECT_EQ(disk.DriveType(volumes), kDriveCdRom);

  // The next poll of the same disk reads nothing again: a file that appears meanwhile
  // is not seen, and the movie positions stay.
  const DiskInfo::Position position = disk.FirstMovie();
  const int openings = tree.files().openings();
  tree.SparseFile("first/gamma.avi", 1);
  EXPECT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_EQ(disk.MovieCount(), 2u);
  EXPECT_EQ(disk.FirstMovie(), position);
  EXPECT_EQ(tree.files().openings(), openings);

  // Another disk with another label: read anew.
  const std::string second = tree.Folder("second");
  tree.SparseFile("second/one.avi", 1);
  volumes.Remove(drive);
  volumes.Insert(drive, "SECOND", second);
  ASSERT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_EQ(disk.Label(), "SECOND");
  EXPECT_EQ(disk.MovieCount(), 1u);

  // The same disk relabelled between two polls counts as another disk.
  tree.SparseFile("second/two.avi", 1);
  volumes.Relabel(drive, "RENAMED");
  ASSERT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_EQ(disk.Label(), "RENAMED");
  EXPECT_EQ(disk.MovieCount(), 2u);

  // A disk without movies is present, with its label, and shows no movies.
  const std::string empty = tree.Folder("empty");
  volumes.Remove(drive);
  volumes.Insert(drive, "", empty);
  EXPECT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::NoMovies);
  EXPECT_TRUE(disk.IsPresent());
  EXPECT_EQ(disk.Label(), "");
  EXPECT_FALSE(disk.HasMovies());

  // The disk is taken out: no disk, and the record is reset.
  volumes.Remove(drive);
  EXPECT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::NoVolume);
  EXPECT_FALSE(disk.IsPresent());
  EXPECT_EQ(disk.Label(), "");
  EXPECT_EQ(disk.Path(), "");
  EXPECT_EQ(disk.MovieCount(), 0u);
  EXPECT_EQ(disk.DriveType(volumes), kDriveNoRootDir);

  // Opening the tray takes a disk out as well; the next poll finds none.
  volumes.Insert(drive, "FIRST", first);
  ASSERT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_TRUE(volumes.EjectMedia(drive, true));
  EXPECT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::NoVolume);
  ASSERT_EQ(volumes.trayRequests.size(), 1u);
  EXPECT_TRUE(volumes.trayRequests[0].eject);

  // A drive that is no optical drive has no tray, and a changed type is what the next
  // read sees.
  volumes.SetDriveType(drive, kDriveRemovable);
  EXPECT_FALSE(volumes.EjectMedia(drive, true));
  EXPECT_EQ(volumes.FindFirstCdDrive(), "");
  volumes.Insert(drive, "STICK", second);
  ASSERT_EQ(disk.ReadDisk(drive, settings, volumes, tree.files()), ReadResult::Ok);
  EXPECT_EQ(disk.DriveType(volumes), kDriveRemovable);
}

}  // namespace
}  // namespace quorvel

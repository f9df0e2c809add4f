// A real ISO 9660 image: its label read from its bytes, and the image mounted with
// fuseiso and read as a disk through the real mount table.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "fake_machine.h"
#include "platform/linux/filesystem_label.h"
#include "platform/linux/linux_volumes.h"
#include "platform/linux/posix_files.h"
#include "support/fuseiso_mount.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::FuseIsoMount;
using testing::RunCommand;
using testing::ShellQuote;
using testing::TempTree;

constexpr const char* kLabel = "QUORVEL DISK";

// The image's tree as the disk's maker wrote it: upper-case names, while the
// configuration file names them in lower case.
std::string MakeImage(const TempTree& tree) {
  tree.File("src/CONFIGURATION.INI",
            "[Movies]\r\nThe Film=movie\\film.avi\r\n[Picture]\r\ncover.jpg\r\n");
  tree.File("src/COVER.JPG", "not really a picture");
  tree.SparseFile("src/EXTRA.AVI", 2u << 20);
  tree.Folder("src/MOVIE");
  RunCommand(
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=black:s=16x16:r=5:d=0.4"
      " -f lavfi -i sine=frequency=440:sample_rate=8000:duration=0.4"
      " -map 0:v -map 1:a -map 1:a -c:v mjpeg -c:a pcm_u8 -f avi " +
      ShellQuote(tree.Path("src/MOVIE/FILM.AVI")));
  const std::string image = tree.Path("disk.iso");
  RunCommand("genisoimage -quiet -J -V " + ShellQuote(kLabel) + " -o " + ShellQuote(image) + " " +
             ShellQuote(tree.Path("src")));
  return image;
}

TEST(IsoImage, LabelReadFromTheFilesystemBytes) {
  TempTree tree;
  const std::string image = MakeImage(tree);
  EXPECT_EQ(ProbeFilesystemLabel(image), kLabel);
  EXPECT_EQ(ProbeFilesystemLabel(tree.Path("src/COVER.JPG")), std::nullopt);
  EXPECT_EQ(ProbeFilesystemLabel(tree.Path("missing")), std::nullopt);

  // The backend's label query ends in the same probe when neither udev record nor
  // label link knows the mounted device.
  testing::FakeMachine machine;
  const std::string point = machine.Tree().Folder("media/disk");
  machine.Mounts(testing::MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                 testing::MountLine(40, "7:0", point, "iso9660", image));
  EXPECT_EQ(machine.Volumes().VolumeLabel(point + "/"), kLabel);
}

TEST(IsoImage, MountedWithFuseisoAndReadAsADisk) {
  TempTree tree;
  const std::string image = MakeImage(tree);
  const std::string point = tree.Path("mnt point");
  FuseIsoMount mount(image, point);
  ASSERT_TRUE(mount.Mounted());

  LinuxVolumes volumes;  // the real mount table
  PosixFiles files;
  EXPECT_EQ(volumes.VolumeRoot(point + "/MOVIE"), point + "/");
  Settings settings;
  DiskInfo disk;
  ASSERT_EQ(disk.ReadDisk(point, settings, volumes, files), ReadResult::Ok);
  EXPECT_TRUE(disk.IsPresent());
  EXPECT_EQ(disk.Root(), point + "/");
  // A FUSE mount has no device to read a label from.
  EXPECT_EQ(disk.Label(), "");
  EXPECT_EQ(disk.DriveType(volumes), kDriveUnknown);
  ASSERT_EQ(disk.MovieCount(), 1u);
  DiskInfo::Position position = disk.FirstMovie();
  const Movie film = disk.NextMovie(position);
  EXPECT_EQ(film.Title(), "The Film");
  EXPECT_EQ(film.File(), point + "/MOVIE/FILM.AVI");
  EXPECT_EQ(film.Type(), MovieType::DivX);
  EXPECT_EQ(film.AudioStreams(), 2);
  EXPECT_EQ(disk.PicturePath(), point + "/COVER.JPG");

  // Without the configuration file: the loose files of the disk's root.
  settings.ReadConf = 0;
  disk.Reset();
  ASSERT_EQ(disk.ReadDisk(point, settings, volumes, files), ReadResult::Ok);
  position = disk.FirstMovie();
  const Movie extra = disk.NextMovie(position);
  EXPECT_EQ(extra.Title(), "EXTRA");
  EXPECT_EQ(extra.File(), point + "/EXTRA.AVI");
  EXPECT_EQ(position, nullptr);
  settings.MinFileSize = 3;
  disk.Reset();
  EXPECT_EQ(disk.ReadDisk(point, settings, volumes, files), ReadResult::NoMovies);

  // The medium goes: the same backend, which keeps the table between calls, sees it.
  ASSERT_TRUE(volumes.VolumeLabel(point + "/").has_value());
  mount.Unmount();
  EXPECT_EQ(volumes.VolumeLabel(point + "/"), std::nullopt);
  EXPECT_EQ(volumes.VolumeRoot(point), volumes.VolumeRoot(tree.Root()));
}

}  // namespace
}  // namespace quorvel

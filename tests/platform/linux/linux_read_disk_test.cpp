// ReadDisk with the Linux backend on real folders, each mounted in a mount table of the
// test's own: drive devices, unmounted media, links and folders that go while read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "fake_machine.h"
#include "platform/linux/posix_files.h"
#include "support/movie_rows.h"

namespace quorvel {
namespace {

using testing::FakeMachine;

constexpr std::uint64_t kTenMegabytes = 10u << 20;

using testing::Movies;
using testing::Row;

class LinuxReadDiskTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& path) {
    volumes_ = machine_.Volumes();
    return disk_.ReadDisk(path, settings_, volumes_, files_);
  }

  FakeMachine machine_;
  testing::TempTree& tree_ = machine_.Tree();
  Settings settings_;
  PosixFiles files_;
  LinuxVolumes volumes_;
  DiskInfo disk_;
};

TEST_F(LinuxReadDiskTest, EmptyDriveIsNoVolume) {
  const std::string disk = machine_.Disk("cd", 0, "ONE");
  tree_.SparseFile("cd/a.avi", 1);
  ASSERT_EQ(Read(disk), ReadResult::Ok);
  // The medium goes; fstab keeps the folder for the drive.
  machine_.Mounts("26 1 0:99999 / / rw - ext4 /dev/vda rw\n");
  machine_.Fstab("/dev/sr0 " + testing::Escape(disk) + " udf,iso9660 user,noauto 0 0\n");
  EXPECT_EQ(Read(disk), ReadResult::NoVolume);
  EXPECT_FALSE(disk_.IsPresent());
  EXPECT_FALSE(disk_.HasMovies());
  EXPECT_EQ(disk_.Path(), "");
  EXPECT_EQ(disk_.Label(), "");
  EXPECT_EQ(disk_.DriveType(volumes_), kDriveNoRootDir);
  EXPECT_EQ(Read(""), ReadResult::NoVolume);
}

TEST_F(LinuxReadDiskTest, DevicePathReadsTheMediumMountedFromIt) {
  // The mount table escapes the blank, tab and backslash of the mount point.
  const std::string disk = machine_.Disk("media/My Films\tx\\y", 0, "FILMS");
  tree_.SparseFile("media/My Films\tx\\y/Alpha.avi", 1);
  tree_.SparseFile("media/My Films\tx\\y/beta.mpg", 1);
  tree_.File("media/My Films\tx\\y/cover.jpg");
  settings_.ReadConf = 0;
  EXPECT_EQ(Read("/dev/sr0"), ReadResult::Ok);
  EXPECT_EQ(disk_.Path(), "/dev/sr0");
  EXPECT_EQ(disk_.Folder(), disk);
  EXPECT_EQ(disk_.Root(), disk + "/");
  EXPECT_EQ(disk_.Label(), "FILMS");
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"Alpha", disk + "/Alpha.avi", MovieType::DivX, -1},
                                             {"beta", disk + "/beta.mpg", MovieType::Mpeg, 1}}));
  EXPECT_EQ(disk_.PicturePath(), disk + "/cover.jpg");
  EXPECT_EQ(disk_.DriveType(volumes_), kDriveCdRom);

  // Every kind of disk: a VideoCD entry, the disk files with their picture.
  const std::string vcd = machine_.Disk("vcd", 1, "VCD");
  tree_.Folder("vcd/MPEGAV");
  EXPECT_EQ(Read("/dev/sr1"), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"VideoCD", "", MovieType::VideoCd, 1}}));
  const std::string divx = machine_.Disk("divx", 2, "DIVX");
  tree_.File("divx/configuration.ini", "[Movies]\nFilm=films\\film.avi\n[Picture]\nfront.bmp\n");
  tree_.SparseFile("divx/FILMS/Film.AVI", 1);
  tree_.File("divx/mdvd.mvd",
             "[Micro DVD Ini File]\n[MAIN]\nTitle=Heat\n[MOVIE]\nAVIName=heat.avi\n");
  settings_.ReadMDVD = 0;
  settings_.ReadConf = 1;
  EXPECT_EQ(Read("/dev/sr2"), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_),
            (std::vector<Row>{{"Film", divx + "/FILMS/Film.AVI", MovieType::DivX, -1}}));
  EXPECT_EQ(disk_.PicturePath(), divx + "/front.bmp");
  settings_.ReadMDVD = 1;
  disk_.Reset();
  EXPECT_EQ(Read("/dev/sr2"), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"Heat", divx + "/heat.avi", MovieType::DivX, 1}}));

  // The same medium mounted again elsewhere, with the same label: read from there.
  machine_.Mounts(testing::MountLine(26, "0:99999", "/", "ext4", "/dev/vda") +
                  testing::MountLine(30, "11:2", vcd, "iso9660", "/dev/sr2"));
  EXPECT_EQ(Read("/dev/sr2"), ReadResult::Ok);
  EXPECT_EQ(disk_.Folder(), vcd);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"VideoCD", "", MovieType::VideoCd, 1}}));

  // Nothing mounted from the drive, or no such drive: no disk.
  EXPECT_EQ(Read("/dev/sr0"), ReadResult::NoVolume);
  EXPECT_EQ(Read(tree_.Path("dev/sr9")), ReadResult::NoVolume);
  EXPECT_FALSE(disk_.IsPresent());
}

TEST_F(LinuxReadDiskTest, PathWithoutAFolderIsNoDisk) {
  const std::string disk = machine_.Disk("media/user/FILMS", 0, "FILMS");
  tree_.SparseFile("media/user/FILMS/a.avi", 1);
  const std::string other = machine_.Disk("other", 1, "");
  const std::string file = tree_.SparseFile("other/b.avi", 1);
  settings_.ReadConf = 0;
  ASSERT_EQ(Read(disk), ReadResult::Ok);

  // The medium is unmounted and its mount folder goes with it: No Disk, as an empty
  // drive, although the folder above it is on a volume.
  std::filesystem::remove_all(disk);
  EXPECT_EQ(Read(disk), ReadResult::NoVolume);
  EXPECT_FALSE(disk_.IsPresent());
  EXPECT_EQ(disk_.Label(), "");

  // A regular file, a name that is not there, a link loop, a link to a file.
  std::filesystem::create_symlink("loop2", tree_.Path("other/loop1"));
  std::filesystem::create_symlink("loop1", tree_.Path("other/loop2"));
  std::filesystem::create_symlink(file, tree_.Path("filelink"));
  for (const std::string& path : {file, other + "/missing", tree_.Path("other/loop1"),
                                  tree_.Path("filelink"), tree_.Path("missing/deeper")}) {
    EXPECT_EQ(Read(path), ReadResult::NoVolume) << path;
    EXPECT_FALSE(disk_.IsPresent()) << path;
  }

  // A link to a folder reads the folder; its files are named by the real path.
  std::filesystem::create_directory_symlink(other, tree_.Path("otherlink"));
  EXPECT_EQ(Read(tree_.Path("otherlink")), ReadResult::Ok);
  EXPECT_EQ(disk_.Path(), tree_.Path("otherlink"));
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"b", file, MovieType::DivX, -1}}));
}

TEST_F(LinuxReadDiskTest, BrokenFoldersAreSkipped) {
  const std::string disk = machine_.Disk("cd", 0, "LINKS");
  std::filesystem::create_symlink("loop2.avi", tree_.Path("cd/loop1.avi"));
  std::filesystem::create_symlink("loop1.avi", tree_.Path("cd/loop2.avi"));
  std::filesystem::create_symlink("gone.avi", tree_.Path("cd/vanished.avi"));
  std::filesystem::create_directory_symlink(".", tree_.Path("cd/self.avi"));
  tree_.SparseFile("cd/real.avi", 1);
  std::filesystem::create_directory_symlink("../cd", tree_.Path("cd/MPEG"));
  settings_.ReadConf = 0;
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"real", disk + "/real.avi", MovieType::DivX, -1}}));
}

// The real files service, except that one file is deleted right after the folder
// was listed: the race of a disk whose files go while it is read.
class VanishingFiles final : public PosixFiles {
 public:
  explicit VanishingFiles(std::string victim) : victim_(std::move(victim)) {}
  std::optional<std::vector<std::string>> ListNames(std::string_view folder) override {
    auto names = PosixFiles::ListNames(folder);
    std::filesystem::remove(victim_);
    return names;
  }

 private:
  std::string victim_;
};

TEST_F(LinuxReadDiskTest, FileThatVanishesAfterListingIsSkipped) {
  const std::string disk = machine_.Disk("cd", 0, "GOING");
  tree_.SparseFile("cd/a.avi", 1);
  const std::string gone = tree_.SparseFile("cd/b.avi", 1);
  settings_.ReadConf = 0;
  VanishingFiles files(gone);
  volumes_ = machine_.Volumes();
  EXPECT_EQ(disk_.ReadDisk(disk, settings_, volumes_, files), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"a", disk + "/a.avi", MovieType::DivX, -1}}));
}

}  // namespace
}  // namespace quorvel

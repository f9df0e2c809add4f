// ReadDisk on disks in fake drives, their files in a fake file tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/fake/fake_volumes.h"
#include "support/fake_tree.h"
#include "support/movie_rows.h"

namespace quorvel {
namespace {

using testing::At;

constexpr std::uint64_t kTenMegabytes = 10u << 20;

using testing::Movies;
using testing::Row;

class ReadDiskTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& path) {
    return disk_.ReadDisk(path, settings_, volumes_, tree_.files());
  }
  // The new folder `relative` as a disk labelled `label` in an optical drive of its own.
  std::string Disk(std::string_view relative, std::string_view label) {
    const std::string folder = tree_.Folder(relative);
    volumes_.Insert(folder, label);
    return folder;
  }

  testing::FakeTree tree_;
  FakeVolumes volumes_;
  Settings settings_;
  DiskInfo disk_;
};

TEST_F(ReadDiskTest, LooseFilesByExtensionThenThreshold) {
  const std::string disk = Disk("cd", "FILMS");
  tree_.SparseFile("cd/gamma.mpeg", kTenMegabytes);
  tree_.SparseFile("cd/Beta.MPG", kTenMegabytes);
  tree_.SparseFile("cd/alpha.avi", kTenMegabytes);
  tree_.SparseFile("cd/small.avi", kTenMegabytes - 1);
  tree_.SparseFile("cd/sub/deeper.avi", kTenMegabytes);
  tree_.File("cd/notes.txt", "x");
  settings_.ReadConf = 0;
  settings_.MinFileSize = 700;
  EXPECT_EQ(Read(disk), ReadResult::NoMovies);
  EXPECT_TRUE(disk_.IsPresent());
  EXPECT_EQ(disk_.Label(), "FILMS");
  EXPECT_EQ(disk_.Root(), At(disk, ""));
  EXPECT_FALSE(disk_.HasMovies());

  settings_.MinFileSize = 10;
  disk_.Reset();
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_),
            (std::vector<Row>{{"alpha", At(disk, "alpha.avi"), MovieType::DivX, -1},
                              {"Beta", At(disk, "Beta.MPG"), MovieType::Mpeg, 1},
                              {"gamma", At(disk, "gamma.mpeg"), MovieType::Mpeg, 1}}));
  settings_.MinFileSize = 0;
  disk_.Reset();
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(disk_.MovieCount(), 4u);
  EXPECT_EQ(disk_.PicturePath(), "");
  EXPECT_EQ(disk_.DriveType(volumes_), kDriveCdRom);
}

TEST_F(ReadDiskTest, SizesAndThresholdsBeyondThirtyTwoBits) {
  const std::string disk = Disk("dvd", "BIG");
  tree_.SparseFile("dvd/five.avi", 5ull << 30);
  tree_.SparseFile("dvd/three.avi", 3ull << 30);
  tree_.SparseFile("dvd/exact.mpg", 4ull << 30);
  settings_.ReadConf = 0;
  // 4096 MB would wrap to 0 in 32 bits and let everything through.
  settings_.MinFileSize = 4096;
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  std::vector<std::string> titles;
  for (const Row& row : Movies(disk_)) titles.push_back(row.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"five", "exact"}));
  // A 5 GB file is not 1 GB as its low 32 bits would say.
  settings_.MinFileSize = 2048;
  disk_.Reset();
  Read(disk);
  EXPECT_EQ(disk_.MovieCount(), 3u);
  settings_.MinFileSize = 0xFFFFFFFF;
  disk_.Reset();
  EXPECT_EQ(Read(disk), ReadResult::NoMovies);
}

TEST_F(ReadDiskTest, RecognitionOrder) {
  // Super-VideoCD wins over a Micro DVD file, which is read but not listed.
  const std::string svcd = Disk("svcd", "SVCD");
  tree_.Folder("svcd/mpeg2");
  tree_.File("svcd/mdvd.mvd", "[Micro DVD Ini File]\n[MAIN]\nTitle=Heat\n");
  tree_.SparseFile("svcd/loose.avi", 1);
  EXPECT_EQ(Read(svcd), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"S-VCD", "", MovieType::SuperVideoCd, 1}}));
  EXPECT_TRUE(disk_.MicroDvd().IsValid());

  // A VideoCD with a configuration.ini gets that picture.
  const std::string vcd = Disk("vcd", "VCD");
  tree_.File("vcd/MPEGAV");
  tree_.File("vcd/Configuration.ini", "[Movies]\nA=a.avi\n[Picture]\nCover.JPG\n");
  tree_.File("vcd/cover.jpg");
  EXPECT_EQ(Read(vcd), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"VideoCD", "", MovieType::VideoCd, 1}}));
  EXPECT_EQ(disk_.PicturePath(), At(vcd, "cover.jpg"));

  // Micro DVD before configuration.ini; off, the autorun file decides, and with an
  // empty movie list no search is made.
  const std::string mdvd = Disk("mdvd", "MDVD");
  tree_.File("mdvd/MDVD.MVD",
             "[Micro DVD Ini File]\n[MAIN]\nTitle=Heat\nCDNumber=2\n[MOVIE]\n"
             "Directory=.\nAVI2Name=heat2.avi\n");
  tree_.File("mdvd/configuration.ini", "[Picture]\nnothing.jpg\n");
  tree_.SparseFile("mdvd/HEAT2.avi", 60);
  tree_.File("mdvd/z.bmp");
  EXPECT_EQ(Read(mdvd), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_),
            (std::vector<Row>{{"Heat [CD2]", At(mdvd, "HEAT2.avi"), MovieType::DivX, -1}}));
  EXPECT_EQ(disk_.PicturePath(), At(mdvd, "nothing.jpg"));

  settings_.ReadMDVD = 0;
  disk_.Reset();
  EXPECT_EQ(Read(mdvd), ReadResult::Ok);
  EXPECT_TRUE(Movies(disk_).empty());
  EXPECT_FALSE(disk_.MicroDvd().IsValid());
  EXPECT_EQ(disk_.PicturePath(), At(mdvd, "nothing.jpg"));

  // Without the autorun file the loose files count, and the first picture pattern
  // that lists anything gives the picture.
  settings_.ReadConf = 0;
  disk_.Reset();
  EXPECT_EQ(Read(mdvd), ReadResult::Ok);
  EXPECT_EQ(disk_.MovieCount(), 1u);
  EXPECT_EQ(disk_.PicturePath(), At(mdvd, "z.bmp"));
}

TEST_F(ReadDiskTest, MicroDvdPlayerOnlyByItsExactName) {
  const std::string disk = Disk("mdvd", "MDVD");
  tree_.File("mdvd/mdvd.mvd",
             "[Micro DVD Ini File]\n[MAIN]\nTitle=Heat\n[MOVIE]\nAVIName=heat.avi\n");
  settings_.MDVDPlay = 1;
  settings_.Players.emplace_back("micro dvd player", "/usr/bin/mdvd", "%f",
                                 PlaylistType::NoPlaylist);
  Read(disk);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"Heat", At(disk, "heat.avi"), MovieType::DivX, 1}}));

  settings_.Players.emplace_back("Micro DVD Player", "/usr/bin/mdvd", "%f",
                                 PlaylistType::NoPlaylist);
  disk_.Reset();
  Read(disk);
  EXPECT_EQ(Movies(disk_),
            (std::vector<Row>{{"Heat", At(disk, "mdvd.mvd"), MovieType::MicroDvd, 1}}));
  settings_.MDVDPlay = 0;
  disk_.Reset();
  Read(disk);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::DivX);
}

TEST_F(ReadDiskTest, AutorunMoviesAreDivXWhateverTheirNames) {
  const std::string disk = Disk("divx", "DIVX");
  tree_.File("divx/configuration.ini",
             "[Movies]\nFirst=Films\\one.MPG\nSecond=two.avi\n[Picture]\ncover.jpg\n");
  tree_.SparseFile("divx/FILMS/One.mpg", 100);
  tree_.SparseFile("divx/loose.avi", kTenMegabytes);
  tree_.File("divx/other.jpg");
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_),
            (std::vector<Row>{{"First", At(disk, "FILMS/One.mpg"), MovieType::DivX, -1},
                              {"Second", At(disk, "two.avi"), MovieType::DivX, 1}}));
  EXPECT_EQ(disk_.PicturePath(), At(disk, "cover.jpg"));
}

TEST_F(ReadDiskTest, SameDiskIsNotReadAgainUntilPathOrLabelChanges) {
  const std::string disk = Disk("cd", "ONE");
  tree_.SparseFile("cd/a.avi", 1);
  settings_.ReadConf = 0;
  ASSERT_EQ(Read(disk), ReadResult::Ok);
  const DiskInfo::Position first = disk_.FirstMovie();

  tree_.SparseFile("cd/b.avi", 1);
  tree_.File("cd/cover.jpg");
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(disk_.MovieCount(), 1u);
  EXPECT_EQ(disk_.FirstMovie(), first);
  EXPECT_EQ(disk_.PicturePath(), "");

  // The same folder written differently is another path: read again.
  EXPECT_EQ(Read(At(disk, "")), ReadResult::Ok);
  EXPECT_EQ(disk_.MovieCount(), 2u);
  EXPECT_EQ(disk_.Path(), At(disk, ""));

  volumes_.Relabel(disk, "TWO");
  tree_.SparseFile("cd/c.avi", 1);
  EXPECT_EQ(Read(At(disk, "")), ReadResult::Ok);
  EXPECT_EQ(disk_.Label(), "TWO");
  EXPECT_EQ(disk_.MovieCount(), 3u);
}

}  // namespace
}  // namespace quorvel

// ReadDisk on today's disks in fake drives: DVD-Video and Blu-ray layouts, today's movie
// files in the loose-file search, and where they stand in the order of recognition.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "disk/disk_fields.h"
#include "disk/disk_info.h"
#include "platform/fake/fake_volumes.h"
#include "support/fake_tree.h"
#include "support/movie_rows.h"

namespace quorvel {
namespace {

using testing::At;
using testing::Movies;
using testing::Row;

constexpr std::uint64_t kTenMegabytes = 10u << 20;

class VideoDiskTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& path) {
    disk_.Reset();
    return disk_.ReadDisk(path, settings_, volumes_, tree_.files());
  }
  std::string Disk(std::string_view relative, std::string_view label,
                   DriveTypeCode type = kDriveCdRom) {
    const std::string folder = tree_.Folder(relative);
    volumes_.AddDrive(folder, type);
    volumes_.Insert(folder, label);
    return folder;
  }

  testing::FakeTree tree_;
  FakeVolumes volumes_;
  Settings settings_;
  DiskInfo disk_;
};

TEST_F(VideoDiskTest, DvdVideoAndBlurayDisksAreOneMovieEach) {
  // A DVD-Video disk in a drive: titled by its label, its file the drive itself.
  const std::string dvd = Disk("dvd", "HOLIDAY_2009");
  tree_.File("dvd/VIDEO_TS/VIDEO_TS.IFO", "DVDVIDEO-VMG");
  tree_.File("dvd/VIDEO_TS/VTS_01_1.VOB");
  tree_.SparseFile("dvd/extra.avi", kTenMegabytes);  // the loose-file search is not made
  EXPECT_EQ(Read(dvd), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"HOLIDAY_2009", dvd, MovieType::Dvd, 1}}));
  EXPECT_EQ(DiskFields(disk_, kDriveCdRom)[2].name, "Movie (DVD)");

  // Names in any letter case; a folder below a drive's root is a folder, and the movie's
  // file is that folder; no label gives the string table's title.
  const std::string folder = tree_.Folder("hdd/films/wedding");
  volumes_.AddDrive(tree_.Path("hdd"), kDriveFixed);
  volumes_.Insert(tree_.Path("hdd"), "");
  tree_.File("hdd/films/wedding/video_ts/Video_Ts.Ifo");
  EXPECT_EQ(Read(folder), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"DVD-Video", folder, MovieType::Dvd, 1}}));

  // Blu-ray: BDMV/index.bdmv.
  const std::string bluray = Disk("bd", "AVATAR");
  tree_.File("bd/BDMV/index.bdmv", "INDX0200");
  tree_.File("bd/BDMV/MovieObject.bdmv", "MOBJ0200");
  EXPECT_EQ(Read(bluray), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"AVATAR", bluray, MovieType::Bluray, 1}}));
  volumes_.Relabel(bluray, "");
  EXPECT_EQ(Read(bluray), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_), (std::vector<Row>{{"Blu-ray Disc", bluray, MovieType::Bluray, 1}}));
  // A Blu-ray disk that also carries a DVD-Video folder for other players is a Blu-ray.
  tree_.File("bd/VIDEO_TS/VIDEO_TS.IFO");
  EXPECT_EQ(Read(bluray), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::Bluray);

  // The main dialog's rows name the types.
  const std::vector<DiskField> rows = DiskFields(disk_, kDriveCdRom);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].name, "Movie (Blu-ray)");
  EXPECT_EQ(rows[2].value, "Blu-ray Disc");
}

TEST_F(VideoDiskTest, HalfLayoutsAreNoDisksOfTheirKind) {
  const std::string disk = Disk("cd", "ODD");
  settings_.ReadConf = 0;
  tree_.File("cd/VIDEO_TS");               // a file, not a folder
  tree_.File("cd/BDMV/MovieObject.bdmv");  // no index
  tree_.Folder("cd/AUDIO_TS");             // a DVD-Audio folder alone
  tree_.File("cd/video_ts.ifo");           // the file, but at the root
  tree_.SparseFile("cd/film.mkv", kTenMegabytes);
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  ASSERT_EQ(disk_.MovieCount(), 1u);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::Video);
}

TEST_F(VideoDiskTest, TheDisksOfTheFirstKindsComeFirst) {
  const std::string disk = Disk("cd", "MIXED");
  tree_.File("cd/VIDEO_TS/VIDEO_TS.IFO");
  tree_.File("cd/BDMV/index.bdmv");
  // An autorun disk's file wins over both, as a Super-VideoCD's entry does.
  tree_.File("cd/configuration.ini", "[Movies]\nFirst=a.avi\n");
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::DivX);
  tree_.Folder("cd/MPEG2");
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::SuperVideoCd);
  // Without them the Blu-ray.
  tree_.Remove("cd/MPEG2");
  tree_.Remove("cd/configuration.ini");
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  EXPECT_EQ(Movies(disk_)[0].type, MovieType::Bluray);
}

TEST_F(VideoDiskTest, TodaysFilesFollowTheFirstThreeExtensionsWithTheSameSizeRule) {
  const std::string disk = Disk("usb", "STICK", kDriveRemovable);
  for (const char* name : {"k.ogv", "j.WMV", "i.m2ts", "h.ts", "g.MOV", "f.webm", "e.m4v", "d.mp4",
                           "c.mkv", "b.mpeg", "a.avi"}) {
    tree_.SparseFile(std::string("usb/") + name, kTenMegabytes);
  }
  tree_.SparseFile("usb/small.mkv", kTenMegabytes - 1);
  tree_.SparseFile("usb/notes.mkv.txt", kTenMegabytes);
  tree_.SparseFile("usb/deeper/x.mp4", kTenMegabytes);
  settings_.ReadConf = 0;
  settings_.MinFileSize = 10;
  EXPECT_EQ(Read(disk), ReadResult::Ok);
  std::vector<std::string> titles;
  for (const Row& row : Movies(disk_)) {
    titles.push_back(row.title);
    // Zeros are no container header: one stream.
    EXPECT_EQ(row.audioStreams, row.type == MovieType::DivX ? -1 : 1) << row.title;
    EXPECT_EQ(row.type, row.title == "a"   ? MovieType::DivX
                        : row.title == "b" ? MovieType::Mpeg
                                           : MovieType::Video)
        << row.title;
  }
  EXPECT_EQ(titles,
            (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}));
  EXPECT_EQ(DiskFields(disk_, kDriveRemovable)[4].name, "Movie (Video)");
}

}  // namespace
}  // namespace quorvel

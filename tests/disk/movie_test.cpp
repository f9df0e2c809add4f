#include "disk/movie.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "disk/disk_info.h"
#include "platform/fake/fake_volumes.h"
#include "platform/fake/recording_messages.h"
#include "platform/services.h"
#include "support/fake_tree.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::RunCommand;
using testing::ShellQuote;
using testing::TempTree;

// A real AVI of a fraction of a second: one video stream and `audio` audio streams.
std::string MakeAvi(const TempTree& tree, const std::string& name, int audio) {
  const std::string path = tree.Path(name);
  std::string maps = " -map 0:v";
  for (int i = 0; i < audio; ++i) maps += " -map 1:a";
  RunCommand(
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=black:s=16x16:r=5:d=0.4"
      " -f lavfi -i sine=frequency=440:sample_rate=8000:duration=0.4" +
      maps + " -c:v mjpeg -c:a pcm_u8 -f avi " + ShellQuote(path));
  return path;
}

TEST(MovieType, NamesAndTypesFromFileNames) {
  EXPECT_EQ(MovieTypeName(MovieType::Dvd), "DVD");
  EXPECT_EQ(MovieTypeName(static_cast<MovieType>(9)), "Unknown value: 9");
  EXPECT_EQ(MovieTypeName(static_cast<MovieType>(-3)), "Unknown value: -3");

  EXPECT_EQ(MovieTypeFromName("movie.AVI"), MovieType::DivX);
  EXPECT_EQ(MovieTypeFromName("x.MPEG"), MovieType::Mpeg);
  EXPECT_EQ(MovieTypeFromName("x.Mpg"), MovieType::Mpeg);
  EXPECT_EQ(MovieTypeFromName("x.mpe"), MovieType::Unknown);
  EXPECT_EQ(MovieTypeFromName("x.avi2"), MovieType::Unknown);
  EXPECT_EQ(MovieTypeFromName("avi"), MovieType::Unknown);
  EXPECT_EQ(MovieTypeFromName(".avi"), MovieType::DivX);
  EXPECT_EQ(MovieTypeFromName(""), MovieType::Unknown);
  EXPECT_EQ(Movie("t", "x.mpeg", testing::NoFiles()).TypeName(), "MPEG");
}

TEST(Movie, AudioStreamsFromTheAviHeader) {
  TempTree tree;
  const std::string one = MakeAvi(tree, "one.avi", 1);
  const std::string two = MakeAvi(tree, "Two.AVI", 2);
  const std::string asMpg = MakeAvi(tree, "two.mpg", 2);
  const std::string ten = tree.File("ten.avi", "0123456789");
  tree.Folder("folder.avi");
  RecordingMessages messages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  Files& files = platform->services.files;

  // Both ways of making a movie read the header through the files service.
  {
    auto make = [&](const std::string& file) { return Movie("t", file, files); };
    auto makeTyped = [&](MovieType type, const std::string& file) {
      return Movie(type, "t", file, files);
    };
    EXPECT_EQ(make(one).AudioStreams(), 1);
    EXPECT_EQ(make(two).AudioStreams(), 2);
    EXPECT_EQ(make(two).Type(), MovieType::DivX);
    EXPECT_EQ(make(ten).AudioStreams(), -1);
    EXPECT_EQ(make(tree.Path("missing.avi")).AudioStreams(), 1);
    EXPECT_EQ(make(tree.Path("folder.avi")).AudioStreams(), 1);
    // Only DivX movies read the header: an .mpg named file keeps 1, unless the type
    // DivX is given.
    EXPECT_EQ(make(asMpg).AudioStreams(), 1);
    EXPECT_EQ(make(asMpg).Type(), MovieType::Mpeg);
    EXPECT_EQ(makeTyped(MovieType::DivX, asMpg).AudioStreams(), 2);
    EXPECT_EQ(makeTyped(MovieType::DivX, asMpg).Type(), MovieType::DivX);
    EXPECT_EQ(makeTyped(MovieType::MicroDvd, two).AudioStreams(), 1);
  }
  // The loose-file search sizes each AVI file and reads its header with one opening:
  // the same counts; a folder named like a movie is no movie.
  Settings settings;
  settings.ReadConf = 0;
  FakeVolumes volumes;
  volumes.Insert(tree.Root(), "AVI");
  DiskInfo disk;
  ASSERT_EQ(disk.ReadDisk(tree.Root(), settings, volumes, files), ReadResult::Ok);
  std::vector<std::pair<std::string, std::int32_t>> found;
  for (DiskInfo::Position position = disk.FirstMovie(); position != nullptr;) {
    const Movie movie = disk.NextMovie(position);
    found.emplace_back(movie.Title(), movie.AudioStreams());
  }
  EXPECT_EQ(found, (std::vector<std::pair<std::string, std::int32_t>>{
                       {"one", 1}, {"ten", -1}, {"Two", 2}, {"two", 1}}));
  // A position from nowhere gives no movie.
  DiskInfo::Position stray = &found;
  EXPECT_EQ(disk.NextMovie(stray).Type(), MovieType::Unknown);
  EXPECT_EQ(stray, nullptr);
  // The value at offset 56 is used whatever the file is; 0 streams give -1 and the
  // largest count does not overflow.
  std::string header(60, '\0');
  header[56] = '\xff';
  header[57] = '\xff';
  header[58] = '\xff';
  header[59] = '\xff';
  EXPECT_EQ(Movie("t", tree.File("huge.avi", header), files).AudioStreams(), -2);
  EXPECT_EQ(Movie("t", tree.File("zero.avi", std::string(60, '\0')), files).AudioStreams(), -1);
}

}  // namespace
}  // namespace quorvel

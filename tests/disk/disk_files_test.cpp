// The two disk-file readers on a fake file tree.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "disk/autorun_config.h"
#include "disk/micro_dvd_file.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

using namespace std::string_literals;
using testing::At;
using testing::FakeTree;

TEST(AutorunConfig, MoviesAndPictureLine) {
  FakeTree tree;
  Files& files = tree.files();
  const std::string& disk = tree.Root();
  tree.File("CD2/Aliens.avi");
  tree.File("configuration.ini",
            "[Movies]\r\nAlien=alien.avi\r\nAliens=cd2\\aliens.avi\r\n[Picture]\r\ncover.jpg\r\n");
  AutorunConfig config;
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  EXPECT_EQ(config.movies, (std::vector<AutorunMovie>{{"Alien", At(disk, "alien.avi")},
                                                      {"Aliens", At(disk, "CD2/Aliens.avi")}}));
  EXPECT_EQ(config.pictureName, "cover.jpg");
  EXPECT_EQ(config.picturePath, At(disk, "cover.jpg"));
  EXPECT_EQ(config.folder, disk);
  EXPECT_EQ(config.iniPath, At(disk, "configuration.ini"));

  // The file's own name in other letter case is found; "[PICTURE]" with blanks around
  // it matches, and the picture line keeps its trailing blank.
  tree.File("configuration.ini", "");
  tree.Remove("configuration.ini");
  tree.File("CONFIGURATION.INI", "  [PICTURE]  \ncover.jpg \n[Picture]\nsecond.jpg\n");
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  EXPECT_EQ(config.iniPath, At(disk, "CONFIGURATION.INI"));
  EXPECT_TRUE(config.movies.empty());
  EXPECT_EQ(config.pictureName, "cover.jpg ");

  // Movies without a picture line; a key with an empty value names the folder.
  tree.File("CONFIGURATION.INI", "[movies]\nEmpty=\nTitle One = film.avi\n[Picture]");
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  EXPECT_EQ(config.movies, (std::vector<AutorunMovie>{{"Empty", At(disk, "")},
                                                      {"Title One", At(disk, "film.avi")}}));
  EXPECT_EQ(config.pictureName, "");
  EXPECT_EQ(config.picturePath, At(disk, ""));

  // A missing file: invalid, nothing kept.
  tree.Remove("CONFIGURATION.INI");
  EXPECT_FALSE(config.Read(files, disk, "configuration.ini"));
  EXPECT_FALSE(config.IsValid());
  EXPECT_TRUE(config.movies.empty());
  EXPECT_EQ(config.iniPath, "");
}

TEST(AutorunConfig, BadInputGivesWhatTheRulesGive) {
  FakeTree tree;
  Files& files = tree.files();
  const std::string& disk = tree.Root();
  AutorunConfig config;
  // Names that climb out of the folder are joined, never resolved.
  tree.File("configuration.ini",
            "[Movies]\nEscape=..\\..\\x.avi\n[Picture]\n..\\..\\etc\\passwd\n");
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  EXPECT_EQ(config.movies[0].file, At(disk, "..\\..\\x.avi"));
  EXPECT_EQ(config.picturePath, At(disk, "..\\..\\etc\\passwd"));

  // CR-only line ends make one line: no section "Movies", no picture line.
  tree.File("configuration.ini", "[Movies]\rA=a.avi\r[Picture]\rcover.jpg\r");
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  EXPECT_TRUE(config.movies.empty());
  EXPECT_EQ(config.pictureName, "");

  // A 10 MB line, NUL bytes and no final line end.
  std::string text =
      "[Movies]\nBig=" + std::string(10u << 20, 'b') + "\nNul=a\0b.avi\n[Picture]\nx\0y"s;
  tree.File("configuration.ini", text);
  ASSERT_TRUE(config.Read(files, disk, "configuration.ini"));
  ASSERT_EQ(config.movies.size(), 2u);
  EXPECT_EQ(config.movies[0].file, At(disk, "") + std::string(1023, 'b'));
  EXPECT_EQ(config.movies[1].file, At(disk, "a"));
  EXPECT_EQ(config.pictureName, "x\0y"s);

  // A folder named configuration.ini cannot be opened as a file.
  tree.File("configuration.ini", "");
  tree.Remove("configuration.ini");
  tree.Folder("configuration.ini");
  EXPECT_FALSE(config.Read(files, disk, "configuration.ini"));
}

TEST(MicroDvdFile, TitleCdNumberAndMovieFile) {
  FakeTree tree;
  Files& files = tree.files();
  const std::string& disk = tree.Root();
  tree.File("MOVIE/Heat.AVI");
  MicroDvdFile record;
  const std::string heat = "[Micro DVD Ini File]\r\n[MAIN]\r\nTitle=Heat\r\n";
  tree.File(
      "mdvd.mvd",
      heat + "CDNumber=2\r\n[MOVIE]\r\nDirectory=.\r\nAVIName=heat.avi\r\nAVI2Name=heat2.avi\r\n");
  ASSERT_TRUE(record.Read(files, disk, "mdvd.mvd"));
  EXPECT_EQ(record.DisplayTitle(), "Heat [CD2]");
  EXPECT_EQ(record.moviePath, "\\heat2.avi");
  EXPECT_EQ(record.MoviePath(), At(disk, "heat2.avi"));
  EXPECT_EQ(record.mvdPath, At(disk, "mdvd.mvd"));

  tree.File("mdvd.mvd",
            heat + "CDNumber=1\n[MOVIE]\nDirectory=.\nAVIName=heat.avi\nAVI1Name=no.avi\n");
  ASSERT_TRUE(record.Read(files, disk, "mdvd.mvd"));
  EXPECT_EQ(record.DisplayTitle(), "Heat [CD1]");
  EXPECT_EQ(record.MoviePath(), At(disk, "heat.avi"));

  // No CD number; a directory in other letter case is found on the disk.
  tree.File("mdvd.mvd", heat + "[MOVIE]\nDirectory= Movie \nAVIName=heat.avi\n");
  ASSERT_TRUE(record.Read(files, disk, "mdvd.mvd"));
  EXPECT_EQ(record.DisplayTitle(), "Heat");
  EXPECT_EQ(record.moviePath, "Movie\\heat.avi");
  EXPECT_EQ(record.MoviePath(), At(disk, "MOVIE/Heat.AVI"));

  // The signature must be the first section.
  tree.File("mdvd.mvd", "[MAIN]\nTitle=Heat\n[Micro DVD Ini File]\n");
  EXPECT_FALSE(record.Read(files, disk, "mdvd.mvd"));
  tree.File("mdvd.mvd", "[micro dvd ini file]\n");
  ASSERT_TRUE(record.Read(files, disk, "mdvd.mvd"));
  EXPECT_EQ(record.DisplayTitle(), "");
  EXPECT_EQ(record.MoviePath(), At(disk, ""));
  tree.Remove("mdvd.mvd");
  EXPECT_FALSE(record.Read(files, disk, "mdvd.mvd"));
  EXPECT_EQ(record.mvdPath, "");
}

TEST(MicroDvdFile, CdNumbersOutsideThirtyTwoBitsAreClamped) {
  EXPECT_EQ(ClampedAtoi("  +42abc"), 42);
  EXPECT_EQ(ClampedAtoi("-7"), -7);
  EXPECT_EQ(ClampedAtoi("abc"), 0);
  EXPECT_EQ(ClampedAtoi(""), 0);
  EXPECT_EQ(ClampedAtoi("- 5"), 0);
  EXPECT_EQ(ClampedAtoi("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ClampedAtoi("2147483648"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ClampedAtoi("99999999999999999999999999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ClampedAtoi("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ClampedAtoi("-99999999999999999999999999"), std::numeric_limits<std::int32_t>::min());

  FakeTree tree;
  Files& files = tree.files();
  tree.File("mdvd.mvd",
            "[Micro DVD Ini File]\n[MAIN]\nTitle=T\nCDNumber=99999999999\n[MOVIE]\n"
            "AVI2147483647Name=last.avi\nDirectory=..\\..\n");
  MicroDvdFile record;
  ASSERT_TRUE(record.Read(files, tree.Root(), "mdvd.mvd"));
  EXPECT_EQ(record.DisplayTitle(), "T [CD2147483647]");
  // The climbing directory stays joined inside the folder.
  EXPECT_EQ(record.MoviePath(), At(tree.Root(), "..\\..\\last.avi"));
}

}  // namespace
}  // namespace quorvel

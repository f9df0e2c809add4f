#include "windows_rules/path_rules.h"

#include <gtest/gtest.h>

#include "platform/native_path.h"
#include "platform/volumes.h"

namespace quorvel {
namespace {

struct JoinCase {
  const char* folder;
  const char* name;
  const char* joined;
};

// The table of the join rule, written with '\'; the same cases with '/' must give the
// same results with '/', since the rule is written once for both separators.
constexpr JoinCase kJoinCases[] = {
    {"D:\\", "mdvd.mvd", "D:\\mdvd.mvd"},
    {"D:", "MPEG2", "D:\\MPEG2"},
    {"", "film.avi", "\\film.avi"},
    {"D:\\", "\\film.avi", "D:\\film.avi"},
    {"D:\\", "", "D:\\"},
    {"D:\\dir  ", "x", "D:\\dir\\x"},
    {"D:\\dir\\\\\\", "\\\\\\x", "D:\\dir\\x"},
    {"D:\\dir \t\r\n\v\f", "x", "D:\\dir\\x"},
    {"D:\\dir\\ ", "x", "D:\\dir\\x"},   // blanks first, then separators
    {"D:\\.", "..\\x", "D:\\.\\..\\x"},  // nothing is resolved
};

std::string WithSlashes(std::string text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

TEST(JoinPath, FollowsTheTableWithBothSeparators) {
  for (const JoinCase& c : kJoinCases) {
    EXPECT_EQ(JoinPath(c.folder, c.name, '\\'), c.joined) << c.folder << " + " << c.name;
    EXPECT_EQ(JoinPath(WithSlashes(c.folder), WithSlashes(c.name), '/'), WithSlashes(c.joined))
        << c.folder << " + " << c.name;
  }
  // The other separator is an ordinary byte.
  EXPECT_EQ(JoinPath("/media/disk\\", "\\x", '/'), "/media/disk\\/\\x");
  EXPECT_EQ(JoinNativePath("/media/disk/", "/x.avi"), "/media/disk/x.avi");
}

TEST(DriveLetterVolumeRoot, GivesDriveAndShareRoots) {
  EXPECT_EQ(DriveLetterVolumeRoot("D:\\"), "D:\\");
  EXPECT_EQ(DriveLetterVolumeRoot("D:\\films\\x"), "D:\\");
  EXPECT_EQ(DriveLetterVolumeRoot("D:"), "D:\\");
  EXPECT_EQ(DriveLetterVolumeRoot("\\\\server\\share"), "\\\\server\\share\\");
  EXPECT_EQ(DriveLetterVolumeRoot("\\\\server\\share\\dir"), "\\\\server\\share\\");
  EXPECT_EQ(DriveLetterVolumeRoot("\\\\srv"), "");
  EXPECT_EQ(DriveLetterVolumeRoot("\\\\"), "");
  EXPECT_EQ(DriveLetterVolumeRoot("films\\x"), "");
  EXPECT_EQ(DriveLetterVolumeRoot(""), "");
  // The first colon counts, wherever it stands after the first byte.
  EXPECT_EQ(DriveLetterVolumeRoot("abc:def:x"), "abc:\\");
  EXPECT_EQ(DriveLetterVolumeRoot(":x"), "");
}

TEST(DriveTypeName, EmptyOutsideTheTable) {
  EXPECT_EQ(DriveTypeName(5), "CD-ROM drive");
  EXPECT_EQ(DriveTypeName(6), "RAM disk");
  EXPECT_EQ(DriveTypeName(7), "");
  EXPECT_EQ(DriveTypeName(-1), "");
}

}  // namespace
}  // namespace quorvel

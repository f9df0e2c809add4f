// quorvelctl cover, run as the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "picture_test_files.h"

namespace quorvel {
namespace {

using testing::ReadBytes;

class QuorvelctlCoverTest : public testing::TempDirTest {
 protected:
  // Runs quorvelctl with `arguments` (no shell quoting needed in them); returns its status.
  int Run(const std::string& arguments) {
    const std::string command = std::string(QUORVEL_BINARY_DIR) + "/quorvelctl/quorvelctl " +
                                arguments + " >" + Path("out") + " 2>" + Path("err") +
                                " </dev/null";
    const int status = std::system(command.c_str());
    out = ReadText("out");
    err = ReadText("err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string ReadText(const std::string& name) {
    const auto bytes = ReadBytes(Path(name));
    return std::string(bytes.begin(), bytes.end());
  }

  std::string out;
  std::string err;
};

TEST_F(QuorvelctlCoverTest, PrintsTheSizeAndWritesWhatItDecoded) {
  const std::string jpeg = CopyData("jpeg/testorig.jpg", "cover.jpg");
  EXPECT_EQ(Run("cover --ppm " + Path("cover.ppm") + " " + jpeg), 0) << err;
  EXPECT_EQ(out, "227x149\n");
  EXPECT_EQ(err, "");
  const std::string header = "P6\n227 149\n255\n";
  auto expected = ReadBytes(testing::PictureData("jpeg/ref/testorig.rgb"));
  expected.insert(expected.begin(), header.begin(), header.end());
  EXPECT_EQ(ReadBytes(Path("cover.ppm")), expected);

  // A warning is shown, and the picture still is.
  EXPECT_EQ(Run("cover " + CopyData("jpeg/gen-junk-before-sos.jpg", "junk.jpeg")), 0);
  EXPECT_EQ(out, "227x149\n");
  EXPECT_EQ(err, "Corrupt JPEG data: 5 extraneous bytes before marker 0xda\n");

  EXPECT_EQ(Run("cover " + CopyData("bmpsuite/g/pal4.bmp", "COVER.BMP")), 0);
  EXPECT_EQ(out, "127x64\n");
}

TEST_F(QuorvelctlCoverTest, FailuresPrintTheUsersMessagesInOrderAndExitWithOne) {
  EXPECT_EQ(Run("cover " + Path("missing.jpg")), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "JPEG :\nCan't open " + Path("missing.jpg") + "\n\nJPEG load failed\n");

  EXPECT_EQ(Run("cover " + CopyData("bmpsuite/g/rgb32.bmp", "cover.bmp")), 1);
  EXPECT_EQ(err, "Unsupported number of bits per pixel (only 1, 4, 8 and 24 are read)\n");

  // Not a picture name: nothing the user would see, but no success either.
  EXPECT_EQ(Run("cover " + CopyData("jpeg/testorig.jpg", "cover.gif")), 1);
  EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace quorvel

#include "picture/cover_picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

using testing::BmpFile;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::Span;

class CoverPictureTest : public testing::TempDirTest {
 protected:
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : messages.messages) texts.push_back(box.text);
    return texts;
  }

  RecordingMessages messages;
  CoverPicture picture{DiskFiles(), messages};
};

TEST_F(CoverPictureTest, LoadsByTheFileNameEndingWithoutRegardToCase) {
  EXPECT_TRUE(picture.Load(CopyData("jpeg/testorig.jpg", "COVER.JPEG")));
  EXPECT_EQ(picture.Size(), (PictureSize{227, 149}));
  EXPECT_TRUE(picture.Load(CopyData("bmpsuite/g/pal8.bmp", "Cover.Bmp")));
  EXPECT_EQ(picture.Size(), (PictureSize{127, 64}));
  EXPECT_TRUE(picture.Load(CopyData("jpeg/gen-gray-2x1.jpg", "x.jpg")));
  EXPECT_EQ(picture.Size(), (PictureSize{2, 1}));

  // Other endings are not loaded, show nothing and leave the picture as it was, even when
  // the file is a JPEG.
  for (const char* name : {"cover.gif", "cover.jpg.txt", "folder\\", "jpg"}) {
    EXPECT_FALSE(picture.Load(CopyData("jpeg/testorig.jpg", name))) << name;
  }
  EXPECT_TRUE(picture.HasPicture());
  EXPECT_EQ(picture.Size(), (PictureSize{2, 1}));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(CoverPictureTest, FailedLoadsShowTheirMessagesInOrderAndLeaveNoPicture) {
  ASSERT_TRUE(picture.Load(CopyData("jpeg/testorig.jpg", "a.jpg")));
  EXPECT_FALSE(picture.Load(CopyData("jpeg/notjpeg.jpg", "cover.jpg")));
  EXPECT_THAT(Texts(), ElementsAre("JPEG load failed"));
  EXPECT_FALSE(picture.HasPicture());
  const unsigned char zero[sizeof(BitmapInfoHeader)] = {};
  EXPECT_EQ(std::memcmp(&picture.Header(), zero, sizeof zero), 0) << "all 40 bytes are zero";

  messages.messages.clear();
  EXPECT_FALSE(picture.Load(Path("missing.jpeg")));
  EXPECT_THAT(Texts(),
              ElementsAre("JPEG :\nCan't open " + Path("missing.jpeg") + "\n", "JPEG load failed"));

  messages.messages.clear();
  EXPECT_FALSE(picture.Load(Write("cover.bmp", BmpFile{.magic = {'M', 'B'}}.Build())));
  EXPECT_FALSE(picture.Load(Path("missing.bmp")));
  EXPECT_THAT(Texts(), ElementsAre("Not a valid BMP File",
                                   "Can't open file for reading :\n" + Path("missing.bmp")));
  EXPECT_FALSE(picture.HasPicture());
}

TEST_F(CoverPictureTest, TakesOverAPictureAsBottomUpBlueGreenRedRowsPaddedToFourBytes) {
  // Widths with and without row padding, heights with and without a middle row.
  for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 12}) {
    for (int height : {1, 2, 3, 4}) {
      RgbImage image = RgbImage::Allocate(width, height, false);
      for (std::size_t i = 0; i < image.SizeBytes(); ++i) {
        image.Data()[i] = static_cast<std::uint8_t>(i * 7 + 1);
      }
      const Bytes original = Span(image.Data(), image.SizeBytes());
      ASSERT_TRUE(picture.TakeOver(std::move(image)));
      const BitmapInfoHeader& header = picture.Header();
      ASSERT_EQ(header.size, 40u);
      ASSERT_EQ(header.width, width);
      ASSERT_EQ(header.height, height);
      ASSERT_EQ(header.planes, 1);
      ASSERT_EQ(header.bitCount, 24);
      ASSERT_EQ(header.compression + header.sizeImage + header.clrUsed + header.clrImportant, 0u);
      const std::size_t rowBytes = picture.RowBytes();
      ASSERT_EQ(rowBytes, (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4);
      for (int row = 0; row < height; ++row) {
        const std::uint8_t* out = picture.Pixels() + rowBytes * static_cast<std::size_t>(row);
        const std::uint8_t* in =
            original.data() + static_cast<std::size_t>(height - 1 - row) * width * 3;
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(out[3 * x], in[3 * x + 2]) << width << "x" << height << " row " << row;
          ASSERT_EQ(out[3 * x + 1], in[3 * x + 1]);
          ASSERT_EQ(out[3 * x + 2], in[3 * x]);
        }
        for (std::size_t pad = static_cast<std::size_t>(width) * 3; pad < rowBytes; ++pad) {
          ASSERT_EQ(out[pad], 0);
        }
      }
    }
  }
}

TEST_F(CoverPictureTest, PlacementShrinksToFitAndCentresInTheFreeArea) {
  // Free area: x from 10, width choiceList.left - 20; y from movieList.bottom + 10,
  // height client height - movieList.bottom - 20.
  const Rect client{0, 0, 800, 720};
  const Rect movies{10, 10, 790, 100};
  auto place = [&](int width, int height, Rect choices) {
    picture.TakeOver(RgbImage::Allocate(width, height, true));
    return picture.PlaceCoverPicture(client, movies, choices);
  };
  EXPECT_EQ(picture.PlaceCoverPicture(client, movies, {620, 0, 790, 700}), (Rect{}))
      << "no picture, no place";
  // 600 x 600 area: a 400 x 300 picture keeps its size, centred.
  EXPECT_EQ(place(400, 300, {620, 0, 790, 700}), (Rect{110, 260, 510, 560}));
  // 500 x 400 area (client height 520): 1000 x 500 shrinks by half, to 500 x 250.
  const Rect lower{0, 0, 800, 520};
  picture.TakeOver(RgbImage::Allocate(1000, 500, true));
  EXPECT_EQ(picture.PlaceCoverPicture(lower, movies, {520, 0, 790, 600}),
            (Rect{10, 185, 510, 435}));
  // No room: an empty rectangle, never a mirrored one.
  EXPECT_EQ(place(400, 300, {20, 0, 790, 700}), (Rect{}));
  EXPECT_EQ(place(400, 300, {5, 0, 790, 700}), (Rect{}));
  EXPECT_EQ(picture.PlaceCoverPicture({0, 0, 800, 110}, movies, {620, 0, 790, 700}), (Rect{}));
  // A tiny area still gives a rectangle inside it.
  const Rect tiny = place(400, 300, {21, 0, 790, 700});
  EXPECT_GE(tiny.left, 10);
  EXPECT_LE(tiny.right, 11);
  EXPECT_GE(tiny.Width(), 0);
  EXPECT_GE(tiny.Height(), 0);
}

}  // namespace
}  // namespace quorvel

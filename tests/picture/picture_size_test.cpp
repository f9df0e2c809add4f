// Large pictures: the size bound applies to what is decoded, so a huge cover shown on a
// screen is decoded small rather than refused, and a refusal says why in words.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <vector>

#include "picture/cover_picture.h"
#include "picture/jpeg_loader.h"
#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;
using testing::PictureData;

// Writes a grey baseline JPEG of width x height, row by row, as a camera would save a
// very large picture.
void WriteGreyJpeg(const std::string& path, int width, int height) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 50, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = static_cast<JSAMPLE>(x / 64);
  JSAMPROW rows[1] = {row.data()};
  while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

class PictureSizeTest : public testing::TempDirTest {};

TEST_F(PictureSizeTest, AHugeCoverIsDecodedAsSmallAsItIsDrawnAndRefusedInWordsAtFullSize) {
  const std::string path = Path("cover.jpg");
  WriteGreyJpeg(path, 16000, 16000);
  RecordingMessages messages;
  CoverPicture picture(DiskFiles(), messages);

  // The free area of a 1920 x 1080 window: 16000 x 16000 is drawn 797 x 797 and decoded
  // at 1/8, 2000 x 2000, far inside the bound.
  ASSERT_TRUE(picture.Load(path, PictureSize{1394, 797}));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(picture.Size(), (PictureSize{16000, 16000}));
  EXPECT_EQ(picture.PixelSize(), (PictureSize{2000, 2000}));

  // At full size it is 256 million pixels: refused, saying so, then the cover's own text.
  EXPECT_FALSE(picture.Load(path));
  EXPECT_FALSE(picture.HasPicture());
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[0].text, "This picture is too large to show: 16000 x 16000 pixels.");
  EXPECT_EQ(messages.messages[1].text, "JPEG load failed");
}

TEST_F(PictureSizeTest, TheBoundCountsTheDecodedSizeAndAProgressiveFilesWholeSize) {
  RecordingMessages messages;
  // Bounds just below the pictures' 227 x 149 pixels.
  JpegLoader loader(DiskFiles(), messages, 227 * 149 - 1);
  const auto eighth = [](PictureSize) { return PictureSize{29, 19}; };
  int width = 0;
  int height = 0;

  // One pass: what is decoded at 1/8 (29 x 19) is what counts.
  const RgbImage small = loader.Load(PictureData("jpeg/testorig.jpg"), width, height, eighth);
  ASSERT_TRUE(small);
  EXPECT_EQ(small.Width(), 29);
  EXPECT_EQ(small.Height(), 19);
  EXPECT_EQ(width, 227);
  EXPECT_EQ(height, 149);
  EXPECT_TRUE(messages.messages.empty());

  // Several passes (progressive): the library holds the whole picture's coefficients.
  EXPECT_FALSE(loader.Load(PictureData("jpeg/testimgp.jpg"), width, height, eighth));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "This picture is too large to show: 227 x 149 pixels.");
}

}  // namespace
}  // namespace quorvel

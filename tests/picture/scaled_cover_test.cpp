// Cover pictures decoded for the area they are drawn in: a big JPEG keeps only the pixels
// that drawing needs, at the smallest decoder scale that is still at least the drawn size,
// and is placed by its full size.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "picture/cover_picture.h"
#include "picture/jpeg_loader.h"
#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

// A photograph-like picture: smooth gradients, slow waves and a few hard edges.
RgbImage MakePicture(int width, int height) {
  RgbImage image = RgbImage::Allocate(width, height, false);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < width; ++x) {
      const double wave = 40 * std::sin(x / 37.0) * std::cos(y / 23.0);
      const bool box = (x / 160 + y / 120) % 3 == 0;
      row[3 * x] = static_cast<std::uint8_t>(std::clamp(x * 200.0 / width + wave + 20, 0.0, 255.0));
      row[3 * x + 1] =
          static_cast<std::uint8_t>(std::clamp(y * 200.0 / height - wave + 30, 0.0, 255.0));
      row[3 * x + 2] = static_cast<std::uint8_t>(box ? 220 : 40);
    }
  }
  return image;
}

void WriteJpeg(const std::string& path, const RgbImage& image, bool progressive = false) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(image.Width());
  info.image_height = static_cast<JDIMENSION>(image.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<std::uint8_t*>(image.Row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

// `image` shrunk by `factor`: each output pixel the average of its factor x factor block
// (of what there is of it at the right and bottom edges).
RgbImage BoxDownscale(const RgbImage& image, int factor) {
  const int width = (image.Width() + factor - 1) / factor;
  const int height = (image.Height() + factor - 1) / factor;
  RgbImage out = RgbImage::Allocate(width, height, false);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        int count = 0;
        for (int v = y * factor; v < std::min(image.Height(), (y + 1) * factor); ++v) {
          for (int u = x * factor; u < std::min(image.Width(), (x + 1) * factor); ++u) {
            sum += image.Row(v)[3 * u + c];
            ++count;
          }
        }
        out.Row(y)[3 * x + c] = static_cast<std::uint8_t>((sum + count / 2) / count);
      }
    }
  }
  return out;
}

struct Difference {
  double mean = 0;
  int worst = 0;
};
Difference Compare(const RgbImage& a, const RgbImage& b) {
  Difference d;
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < a.SizeBytes(); ++i) {
    const int diff = std::abs(int{a.Data()[i]} - int{b.Data()[i]});
    sum += diff;
    d.worst = std::max(d.worst, diff);
  }
  d.mean = static_cast<double>(sum) / static_cast<double>(a.SizeBytes());
  return d;
}

int CeilDiv(int value, int by) { return (value + by - 1) / by; }

class ScaledCoverTest : public testing::TempDirTest {
 protected:
  RecordingMessages messages;
};

TEST_F(ScaledCoverTest, AJpegKeepsTheSmallestScaleThatIsStillAtLeastTheDrawnSize) {
  const std::string path = Path("cover.jpg");
  WriteJpeg(path, MakePicture(1601, 1203));
  const PictureSize full{1601, 1203};
  struct Case {
    PictureSize area;
    int scale;  // the decoder's scale: 1/scale
  };
  const Case cases[] = {
      {{2000, 2000}, 1},  // drawn at full size
      {{900, 900}, 1},    // drawn 900 x 676: half (801 x 602) would be too small
      {{801, 700}, 2},    // drawn about 801 x 601: half is 801 x 602
      {{700, 602}, 2},    // drawn 700 x 525
      {{800, 800}, 2},    // drawn 800 x 601: a quarter (401 x 301) too small
      {{401, 401}, 4},    // drawn about 401 x 301
      {{402, 303}, 2},    // drawn about 402 x 302: a quarter falls short by a row
      {{200, 151}, 8},    // drawn about 200 x 150: an eighth is 201 x 151
      {{30, 10}, 8},      // never smaller than an eighth
      {{0, 0}, 1},        // no area to go by: full size
      {{500, -5}, 1},
  };
  CoverPicture picture(DiskFiles(), messages);
  CoverPicture fullPicture(DiskFiles(), messages);
  ASSERT_TRUE(fullPicture.Load(path));
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.area.width << "x" << c.area.height);
    ASSERT_TRUE(picture.Load(path, c.area));
    EXPECT_EQ(picture.Size(), full) << "placed by its full size";
    const PictureSize pixels = picture.PixelSize();
    EXPECT_EQ(pixels, (PictureSize{CeilDiv(full.width, c.scale), CeilDiv(full.height, c.scale)}));
    const PictureSize drawn = CoverPicture::DrawnSize(full, c.area);
    EXPECT_GE(pixels.width, drawn.width);
    EXPECT_GE(pixels.height, drawn.height);
    EXPECT_EQ(picture.Header().width, pixels.width);
    EXPECT_EQ(picture.Header().height, pixels.height);
    EXPECT_EQ(picture.RowBytes(), (static_cast<std::size_t>(pixels.width) * 3 + 3) / 4 * 4);
    // Placed exactly where the full picture is placed.
    const Rect client{0, 0, c.area.width + 20 + 100, c.area.height + 20 + 50};
    const Rect movies{10, 10, 300, 50};
    const Rect choices{c.area.width + 20, 0, c.area.width + 100, 100};
    EXPECT_EQ(picture.PlaceCoverPicture(client, movies, choices),
              fullPicture.PlaceCoverPicture(client, movies, choices));
  }
  EXPECT_TRUE(messages.messages.empty());

  // The full-size decode that quorvelctl cover shows is unchanged.
  const RgbImage decoded = DecodeCoverFile(path, DiskFiles(), messages);
  EXPECT_EQ(decoded.Width(), full.width);
  EXPECT_EQ(decoded.Height(), full.height);
  // A BMP has no cheaper scale: it is kept whole.
  picture.Clear();
  EXPECT_EQ(picture.Size(), (PictureSize{}));
  EXPECT_TRUE(picture.Load(CopyData("bmpsuite/g/rgb24.bmp", "cover.bmp"), {20, 20}));
  EXPECT_EQ(picture.Size(), picture.PixelSize());
}

TEST_F(ScaledCoverTest, AScaledDecodeIsCloseToTheFullPictureShrunk) {
  const RgbImage original = MakePicture(1200, 904);
  for (const bool progressive : {false, true}) {
    const std::string path = Path(progressive ? "progressive.jpg" : "baseline.jpg");
    WriteJpeg(path, original, progressive);
    int width = 0;
    int height = 0;
    const RgbImage full = JpegLoader(DiskFiles(), messages).Load(path, width, height);
    ASSERT_TRUE(full);
    for (const int scale : {2, 4, 8}) {
      SCOPED_TRACE(::testing::Message() << "1/" << scale << (progressive ? " progressive" : ""));
      const PictureSize wanted{CeilDiv(width, scale), CeilDiv(height, scale)};
      const RgbImage scaled =
          JpegLoader(DiskFiles(), messages).Load(path, width, height, [wanted](PictureSize) {
            return wanted;
          });
      ASSERT_TRUE(scaled);
      EXPECT_EQ(width, 1200);
      EXPECT_EQ(height, 904);
      ASSERT_EQ(scaled.Width(), wanted.width);
      ASSERT_EQ(scaled.Height(), wanted.height);
      const Difference d = Compare(scaled, BoxDownscale(full, scale));
      EXPECT_LT(d.mean, 1.5);
      EXPECT_LT(d.worst, 64);
    }
  }
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ScaledCoverTest, EveryKindOfJpegScalesAndBrokenOnesFailAsBefore) {
  // Grayscale, CMYK, progressive, arithmetic-coded: half size, close to the full decode.
  for (const char* name : {"testorig.jpg", "testimgp.jpg", "testimgari.jpg", "testimggray.jpg",
                           "gen-gray.jpg", "gen-cmyk.jpg"}) {
    SCOPED_TRACE(name);
    const std::string path = testing::PictureData(std::string("jpeg/") + name);
    int width = 0;
    int height = 0;
    const RgbImage full = JpegLoader(DiskFiles(), messages).Load(path, width, height);
    ASSERT_TRUE(full);
    const PictureSize half{CeilDiv(width, 2), CeilDiv(height, 2)};
    const RgbImage scaled =
        JpegLoader(DiskFiles(), messages).Load(path, width, height, [half](PictureSize) {
          return half;
        });
    ASSERT_TRUE(scaled);
    EXPECT_EQ((PictureSize{scaled.Width(), scaled.Height()}), half);
    EXPECT_LT(Compare(scaled, BoxDownscale(full, 2)).mean, 2.0);
  }
  EXPECT_TRUE(messages.messages.empty());

  // A truncated file still decodes, with its one warning; a broken one fails with the
  // same messages as at full size.
  CoverPicture picture(DiskFiles(), messages);
  EXPECT_TRUE(picture.Load(CopyData("jpeg/gen-truncated-half.jpg", "half.jpg"), {50, 50}));
  EXPECT_EQ(picture.Size(), (PictureSize{227, 149}));
  EXPECT_EQ(picture.PixelSize(), (PictureSize{57, 38}));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].caption, "JPEG Error");
  messages.messages.clear();
  EXPECT_FALSE(picture.Load(CopyData("jpeg/notjpeg.jpg", "not.jpg"), {50, 50}));
  EXPECT_FALSE(picture.HasPicture());
  EXPECT_EQ(picture.Size(), (PictureSize{}));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "JPEG load failed");
}

// The bitmap made straight by the decoder against the RGB picture taken over the long way,
// padding included.
Difference CompareBitmaps(const CoverPicture& direct, const CoverPicture& takenOver) {
  Difference d;
  EXPECT_EQ(direct.PixelSize(), takenOver.PixelSize());
  EXPECT_EQ(direct.RowBytes(), takenOver.RowBytes());
  if (direct.PixelSize() != takenOver.PixelSize()) return {255, 255};
  const std::size_t bytes = direct.RowBytes() * static_cast<std::size_t>(direct.PixelSize().height);
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < bytes; ++i) {
    const int diff = std::abs(int{direct.Pixels()[i]} - int{takenOver.Pixels()[i]});
    sum += diff;
    d.worst = std::max(d.worst, diff);
  }
  d.mean = static_cast<double>(sum) / static_cast<double>(bytes);
  return d;
}

TEST_F(ScaledCoverTest, TheDecoderWritesTheBitmapFormDirectly) {
  WriteJpeg(Path("baseline.jpg"), MakePicture(333, 251));
  WriteJpeg(Path("progressive.jpg"), MakePicture(333, 251), true);
  for (const std::string& path :
       {Path("baseline.jpg"), Path("progressive.jpg"), testing::PictureData("jpeg/testorig.jpg"),
        testing::PictureData("jpeg/testimgari.jpg"), testing::PictureData("jpeg/testimggray.jpg"),
        testing::PictureData("jpeg/gen-gray-2x1.jpg"), testing::PictureData("jpeg/gen-cmyk.jpg")}) {
    SCOPED_TRACE(path);
    int width = 0;
    int height = 0;
    JpegLoader loader(DiskFiles(), messages);
    ASSERT_TRUE(loader.Load(path, width, height));
    // Full size, and half size (where the colour planes need no enlarging at all):
    // byte for byte what taking over the RGB picture gives.
    for (const int scale : {1, 2}) {
      const PictureSize area{CeilDiv(width, scale), CeilDiv(height, scale)};
      CoverPicture direct(DiskFiles(), messages);
      ASSERT_TRUE(direct.Load(path, scale == 1 ? PictureSize{} : area));
      CoverPicture takenOver(DiskFiles(), messages);
      ASSERT_TRUE(
          takenOver.TakeOver(loader.Load(path, width, height, [area](PictureSize) { return area; }),
                             PictureSize{width, height}));
      EXPECT_EQ(CompareBitmaps(direct, takenOver).worst, 0);
      EXPECT_EQ(direct.Size(), (PictureSize{width, height}));
    }
    // Shown a little smaller than full size: decoded at full size, the colour planes
    // enlarged the plain way, so close to the smoothed picture (apart from the edges of
    // sharp colour changes) but not always the same.
    CoverPicture direct(DiskFiles(), messages);
    ASSERT_TRUE(direct.Load(path, {width - 1, height - 1}));
    CoverPicture takenOver(DiskFiles(), messages);
    ASSERT_TRUE(takenOver.TakeOver(loader.Load(path, width, height)));
    EXPECT_LT(CompareBitmaps(direct, takenOver).mean, 1.5);
  }
  EXPECT_TRUE(messages.messages.empty());
}

TEST(CoverDrawnSizeTest, ShrinksToFitAndNeverEnlarges) {
  EXPECT_EQ(CoverPicture::DrawnSize({400, 300}, {600, 600}), (PictureSize{400, 300}));
  EXPECT_EQ(CoverPicture::DrawnSize({1000, 500}, {500, 400}), (PictureSize{500, 250}));
  EXPECT_EQ(CoverPicture::DrawnSize({1000, 500}, {0, 400}), (PictureSize{}));
  EXPECT_EQ(CoverPicture::DrawnSize({0, 500}, {100, 400}), (PictureSize{}));
  // The free area: left of the choices and below the movies, 10 pixels from every edge.
  EXPECT_EQ(CoverPicture::FreeArea({0, 0, 1280, 720}, {46, 135, 1237, 195}, {942, 594, 1237, 684}),
            (PictureSize{922, 505}));
  EXPECT_EQ(CoverPicture::FreeArea({0, 0, 100, 100}, {0, 0, 0, 95}, {15, 0, 0, 0}),
            (PictureSize{-5, -15}));
}

}  // namespace
}  // namespace quorvel

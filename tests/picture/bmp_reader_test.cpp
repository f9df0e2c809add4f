#include "picture/bmp_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "picture_test_files.h"

namespace quorvel {
namespace {

using testing::BmpFile;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::Span;

class BmpReaderTest : public testing::TempDirTest {
 protected:
  RgbImage Read(const BmpFile& file) {
    const std::string path = Write("picture.bmp", file.Build());
    return reader.Read(path, width, height);
  }
  Bytes Pixels(const RgbImage& image) const { return Span(image.Data(), image.SizeBytes()); }

  BmpReader reader;
  int width = -1;
  int height = -1;
};

// Palette of `count` 4-byte entries where entry i is (red i, green 2i, blue 3i).
Bytes Palette(int count, int entryBytes = 4) {
  Bytes palette;
  for (int i = 0; i < count; ++i) {
    palette.insert(palette.end(), {static_cast<std::uint8_t>(3 * i),
                                   static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(i)});
    if (entryBytes == 4) palette.push_back(0);
  }
  return palette;
}

TEST_F(BmpReaderTest, TwentyFourBitRowsComeTopDownInRgbOrderWithoutPadding) {
  BmpFile file{.width = 3, .height = 2};
  // Bottom row first, B G R per pixel, 3 bytes of padding per row.
  file.pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xee, 0xee, 0xee,
                 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xee, 0xee, 0xee};
  RgbImage image = Read(file);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_EQ(reader.ErrorText(), "OK");
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_THAT(Pixels(image), ElementsAre(13, 12, 11, 16, 15, 14, 19, 18, 17,  //
                                         3, 2, 1, 6, 5, 4, 9, 8, 7));
  EXPECT_EQ(reader.BytesRead(), 54u + 2 * 12);
}

TEST_F(BmpReaderTest, PaletteLengthFollowsColoursUsedAndIndicesBeyondItAreBlack) {
  // Colours used 0 means the full 256 entries; the pixel data then starts after them.
  BmpFile full{.bits = 8, .palette = Palette(256)};
  full.width = 2;
  full.pixels = {255, 7, 0, 0};
  RgbImage image = Read(full);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(255, 254, 253, 7, 14, 21));
  EXPECT_EQ(reader.BytesRead(), 54u + 1024 + 4);

  // Colours used 16: 16 entries are read, and indices 16 and up read no memory outside
  // the palette but come out black.
  BmpFile sixteen{.bits = 8, .coloursUsed = 16, .palette = Palette(16)};
  sixteen.width = 3;
  sixteen.pixels = {15, 16, 255, 0};
  image = Read(sixteen);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(15, 30, 45, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(reader.BytesRead(), 54u + 64 + 4);

  // A 1-bit file with a single palette entry.
  BmpFile single{.bits = 1, .coloursUsed = 1, .palette = {9, 8, 7, 0}};
  single.width = 2;
  single.pixels = {0x40, 0, 0, 0};
  image = Read(single);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(7, 8, 9, 0, 0, 0));
}

TEST_F(BmpReaderTest, PackedPixelsPutTheLeftmostPixelInTheHighBitsAndRowsAlignToFourBytes) {
  // 1 bit, width 10: 2 bytes of pixels and 2 of padding per row.
  BmpFile one{.width = 10, .height = 2, .bits = 1, .palette = {0, 0, 0, 0, 255, 255, 255, 0}};
  one.pixels = {0b10000000, 0b01000000, 0xee, 0xee,   // bottom row: pixels 0 and 9 white
                0b00000001, 0b10000000, 0xee, 0xee};  // top row: pixels 7 and 8 white
  RgbImage image = Read(one);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_EQ(reader.BytesRead(), 62u + 2 * 4);
  auto white = [&](int row, int x) { return image.Row(row)[3 * x] == 255; };
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(white(0, x), x == 7 || x == 8) << "top row, pixel " << x;
    EXPECT_EQ(white(1, x), x == 0 || x == 9) << "bottom row, pixel " << x;
  }

  // 4 bits, width 3: 2 bytes of pixels, 2 of padding.
  BmpFile four{.width = 3, .bits = 4, .coloursUsed = 3, .palette = Palette(3)};
  four.pixels = {0x12, 0x00, 0xee, 0xee};
  image = Read(four);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(1, 2, 3, 2, 4, 6, 0, 0, 0));
  EXPECT_EQ(reader.BytesRead(), 54u + 12 + 4);
}

TEST_F(BmpReaderTest, ShortTwentyFourBitFileIsBlackWhereItEndsUnlessRowsNeedPadding) {
  // Width 4: rows of 12 bytes need no padding, so a short file still succeeds.
  BmpFile file{.width = 4, .height = 2};
  file.pixels = {10, 20, 30, 40, 50, 60, 70, 80};  // bottom row: two whole pixels and a part
  RgbImage image = Read(file);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                         30, 20, 10, 60, 50, 40, 0, 0, 0, 0, 0, 0));
  // Width 3 needs padding, which the short file cannot give.
  file.width = 3;
  EXPECT_FALSE(Read(file));
  EXPECT_EQ(reader.ErrorText(), "Read Error");
  EXPECT_EQ(width, 3) << "the size is set before the pixel rows are read";
}

TEST_F(BmpReaderTest, HeadersOfOtherSizesReadThePaletteWhereTheirHeaderEnds) {
  const Bytes pixels = {1, 2, 0, 0};
  for (std::uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
    BmpFile file{.headerSize = size, .width = 2, .bits = 8, .coloursUsed = 3, .pixels = pixels};
    file.palette = Palette(3);
    RgbImage image = Read(file);
    ASSERT_TRUE(image) << size << ": " << reader.ErrorText();
    EXPECT_THAT(Pixels(image), ElementsAre(1, 2, 3, 2, 4, 6)) << size;
    EXPECT_EQ(reader.BytesRead(), 14u + size + 12 + 4) << size;
  }
  // A shortened OS/2 2.x header: the fields it leaves out are zero.
  BmpFile shortened{.headerSize = 16, .width = 2, .bits = 8, .palette = Palette(256)};
  shortened.pixels = pixels;
  RgbImage image = Read(shortened);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(1, 2, 3, 2, 4, 6));

  // The OS/2 core header: 16-bit sizes, 3-byte entries, as many as fit before the pixels.
  BmpFile core{.headerSize = 12, .width = 2, .bits = 8, .palette = Palette(5, 3)};
  core.pixels = {4, 5, 0, 0};
  image = Read(core);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(4, 8, 12, 0, 0, 0));
  EXPECT_EQ(reader.BytesRead(), 26u + 15 + 4);

  // A gap between palette and pixels is skipped; a palette running past the pixel data
  // offset is corrupt.
  BmpFile gap{.width = 2, .bits = 8, .coloursUsed = 3, .palette = Palette(3), .gap = 100};
  gap.pixels = pixels;
  image = Read(gap);
  ASSERT_TRUE(image) << reader.ErrorText();
  EXPECT_THAT(Pixels(image), ElementsAre(1, 2, 3, 2, 4, 6));
  BmpFile large{.headerSize = 108, .width = 2, .bits = 8, .coloursUsed = 3, .palette = Palette(3)};
  large.pixelOffset = 54 + 12;  // where the palette would end after a 40-byte header
  large.pixels = pixels;
  EXPECT_FALSE(Read(large));
  EXPECT_EQ(reader.ErrorText(), "Corrupt palette");
}

TEST_F(BmpReaderTest, FailuresLeaveTheirTextAndNoPicture) {
  struct Case {
    const char* name;
    BmpFile file;
    std::size_t cut;  // keep only this many bytes of the file; 0 keeps all
    std::string text;
  };
  const Bytes palette2 = Palette(2);
  const std::vector<Case> cases = {
      {"magic MB", BmpFile{.magic = {'M', 'B'}}, 0, "Not a valid BMP File"},
      {"one byte", BmpFile{}, 1, "Not a valid BMP File"},
      {"file header cut", BmpFile{}, 10, "Read Error!"},
      {"info header cut", BmpFile{}, 40, "Read Error!"},
      {"compression 1", BmpFile{.bits = 8, .compression = 1}, 0, "This is a compressed file."},
      {"palette cut", BmpFile{.bits = 8, .palette = palette2}, 54 + 6, "Read Error!"},
      {"offset 54 with palette",
       BmpFile{.bits = 8,
               .coloursUsed = 2,
               .palette = palette2,
               .pixels = {0, 0, 0, 0},
               .pixelOffset = 54},
       0, "Corrupt palette"},
      {"palette rows cut",
       BmpFile{.height = 2,
               .bits = 8,
               .coloursUsed = 2,
               .palette = palette2,
               .pixels = {0, 0, 0, 0, 1}},
       0, "Read Error"},
      {"16 bits", BmpFile{.bits = 16, .pixels = {0, 0, 0, 0}}, 0,
       std::string(bmp_text::kBadBitCount)},
      {"32 bits", BmpFile{.bits = 32, .pixels = {0, 0, 0, 0}}, 0,
       std::string(bmp_text::kBadBitCount)},
      {"top-down", BmpFile{.height = -1, .pixels = {0, 0, 0, 0}}, 0,
       std::string(bmp_text::kBadSize)},
      {"zero width", BmpFile{.width = 0, .pixels = {0, 0, 0, 0}}, 0,
       std::string(bmp_text::kBadSize)},
      {"huge", BmpFile{.width = 3000000, .height = 2000000}, 0, "Memory alloc Failed"},
      {"overflowing", BmpFile{.width = INT32_MAX, .height = INT32_MAX}, 0, "Memory alloc Failed"},
      {"header size 5", BmpFile{.headerSize = 5}, 0, std::string(bmp_text::kBadHeaderSize)},
  };
  for (const Case& c : cases) {
    Bytes bytes = c.file.Build();
    if (c.cut != 0) bytes.resize(c.cut);
    const std::string path = Write("bad.bmp", bytes);
    EXPECT_FALSE(reader.Read(path, width, height)) << c.name;
    EXPECT_EQ(reader.ErrorText(), c.text) << c.name;
  }
  EXPECT_FALSE(reader.Read(Path("missing.bmp"), width, height));
  EXPECT_EQ(reader.ErrorText(), "Can't open file for reading :\n" + Path("missing.bmp"));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

}  // namespace
}  // namespace quorvel

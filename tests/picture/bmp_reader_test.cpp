// Edge cases of the BMP reader that the suite files (picture_conformance_test.cpp) do not
// reach: exact texts, bytesRead, padding, short files, indices beyond the palette.
#include "picture/bmp_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "picture_test_files.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

using testing::BmpFile;
using testing::Bytes;
using ::testing::ElementsAre;
using testing::Span;
using testing::WriteBytes;

class BmpReaderTest : public testing::TempDirTest {
 protected:
  Bytes Read(const BmpFile& file) {
    RgbImage image = reader.Read(Write("picture.bmp", file.Build()), width, height);
    return image ? Span(image.Data(), image.SizeBytes()) : Bytes{};
  }

  BmpReader reader{DiskFiles()};
  int width = -1;
  int height = -1;
};

// `count` 4-byte entries; entry i is red i, green 2i, blue 3i.
Bytes Palette(int count) {
  Bytes palette;
  for (int i = 0; i < count; ++i) {
    const auto b = static_cast<std::uint8_t>(3 * i);
    palette.insert(palette.end(),
                   {b, static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(i), 0});
  }
  return palette;
}

TEST_F(BmpReaderTest, RowsComeTopDownInRgbOrderAndFileRowsAlignToFourBytes) {
  // 24 bits, 3 x 2: file rows of 9 bytes of pixels (B G R) and 3 of padding, bottom first.
  BmpFile rgb{.width = 3, .height = 2};
  rgb.pixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xee, 0xee, 0xee,
                11, 12, 13, 14, 15, 16, 17, 18, 19, 0xee, 0xee, 0xee};
  EXPECT_THAT(Read(rgb),
              ElementsAre(13, 12, 11, 16, 15, 14, 19, 18, 17, 3, 2, 1, 6, 5, 4, 9, 8, 7));
  EXPECT_EQ(reader.ErrorText(), "OK");
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(reader.BytesRead(), 54u + 2 * 12);

  // 1 bit, width 10: 2 bytes of pixels (leftmost pixel in the high bit) and 2 of padding.
  BmpFile bits{.width = 10, .height = 2, .bits = 1, .palette = Palette(2)};
  bits.pixels = {0b10000000, 0b01000000, 0xee, 0xee, 0b00000001, 0b10000000, 0xee, 0xee};
  const Bytes pixels = Read(bits);
  ASSERT_EQ(pixels.size(), 60u) << reader.ErrorText();
  EXPECT_EQ(reader.BytesRead(), 62u + 2 * 4);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(pixels[3 * x], (x == 7 || x == 8) ? 1 : 0) << "top row, pixel " << x;
    EXPECT_EQ(pixels[30 + 3 * x], (x == 0 || x == 9) ? 1 : 0) << "bottom row, pixel " << x;
  }
}

TEST_F(BmpReaderTest, PaletteLengthFollowsColoursUsedAndIndicesBeyondItAreBlack) {
  // Colours used 0: 256 entries, and the pixels start after them.
  BmpFile full{.width = 2, .bits = 8, .palette = Palette(256), .pixels = {255, 7, 0, 0}};
  EXPECT_THAT(Read(full), ElementsAre(255, 254, 253, 7, 14, 21));
  EXPECT_EQ(reader.BytesRead(), 54u + 1024 + 4);
  // Colours used 16: 16 entries; indices 16 and up read nothing outside them.
  BmpFile sixteen{.width = 3, .bits = 8, .coloursUsed = 16, .palette = Palette(16)};
  sixteen.pixels = {15, 16, 255, 0};
  EXPECT_THAT(Read(sixteen), ElementsAre(15, 30, 45, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(reader.BytesRead(), 54u + 64 + 4);
}

// The reader's text for `path`, read in a child process whose address space may grow by
TEST_F(BmpReaderTest, AFileHoldingLessThanItsRowsIsRefused) {
  // 118 bytes that declare 8192 x 8192 pixels, a picture of 200 MB: 24 bits with 64
  // bytes of pixels, and 8 bits with a 16-entry palette and no pixels at all.
  const BmpFile rgb{.width = 8192, .height = 8192, .pixels = Bytes(64, 0x55)};
  const BmpFile indexed{
      .width = 8192, .height = 8192, .bits = 8, .coloursUsed = 16, .palette = Palette(16)};
  // (That no memory is asked for them is shown with bounded memory on Linux, in
  // bmp_memory_test.cpp.)
  for (const BmpFile* file : {&rgb, &indexed}) {
    ASSERT_EQ(file->Build().size(), 118u);
    EXPECT_THAT(Read(*file), ElementsAre());
    EXPECT_EQ(reader.ErrorText(), "Read Error");
    EXPECT_EQ(width, 8192) << "the size is set before the pixel rows are looked at";
  }

  // A 24-bit file that ends inside its rows, even where its rows need no padding, and
  // one that lacks only the padding of its last row.
  BmpFile cut{.width = 4, .height = 2, .pixels = Bytes(12 + 11, 1)};
  EXPECT_THAT(Read(cut), ElementsAre());
  EXPECT_EQ(reader.ErrorText(), "Read Error");
  cut.width = 3;
  cut.pixels = Bytes(12 + 9, 1);
  EXPECT_THAT(Read(cut), ElementsAre());
  EXPECT_EQ(reader.ErrorText(), "Read Error");
  cut.pixels.resize(24);
  EXPECT_EQ(Read(cut).size(), 18u) << reader.ErrorText();
  // A 1-bit file one byte short.
  BmpFile bits{.width = 10, .height = 2, .bits = 1, .palette = Palette(2), .pixels = Bytes(7)};
  EXPECT_THAT(Read(bits), ElementsAre());
  EXPECT_EQ(reader.ErrorText(), "Read Error");
}

TEST_F(BmpReaderTest, TheHeaderSizeOnlySaysWhereThePaletteStartsWhenItCan) {
  // Red, green and blue palette entries, and one pixel of each.
  const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  const Bytes pixels = {0, 1, 2, 0};
  const auto rgb = ElementsAre(255, 0, 0, 0, 255, 0, 0, 0, 255);
  // A 40-byte header with the palette at byte 54, under header sizes that name no header
  // or one that would run into the pixel data (at 66): all are taken as 40 bytes.
  Bytes bytes =
      BmpFile{.width = 3, .bits = 8, .coloursUsed = 3, .palette = palette, .pixels = pixels}
          .Build();
  for (std::uint32_t size : {0u, 5u, 11u, 13u, 15u, 108u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i) bytes[14 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    RgbImage image = reader.Read(Write("odd.bmp", bytes), width, height);
    EXPECT_THAT(image ? Span(image.Data(), image.SizeBytes()) : Bytes{}, rgb)
        << "header size " << size << ": " << reader.ErrorText();
  }
  // Headers that end before the pixel data have the palette after them: a shortened
  // OS/2 2.x one of 16 bytes (its colour count missing, so 256 entries) and longer ones.
  Bytes full = palette;
  full.resize(256 * 4);
  EXPECT_THAT(
      Read(BmpFile{.headerSize = 16, .width = 3, .bits = 8, .palette = full, .pixels = pixels}),
      rgb)
      << reader.ErrorText();
  for (std::uint32_t size : {41u, 64u, 108u}) {
    EXPECT_THAT(Read(BmpFile{.headerSize = size,
                             .width = 3,
                             .bits = 8,
                             .coloursUsed = 3,
                             .palette = palette,
                             .pixels = pixels}),
                rgb)
        << "header size " << size << ": " << reader.ErrorText();
  }
}

TEST_F(BmpReaderTest, FailuresLeaveTheirTextAndNoPicture) {
  struct Case {
    const char* name;
    BmpFile file;
    std::size_t cut;  // keep only this many bytes; 0 keeps the whole file
    std::string_view text;
  };
  const Bytes two = Palette(2);
  const Bytes pixel = {0, 0, 0, 0};
  const Case cases[] = {
      {"MB", BmpFile{.magic = {'M', 'B'}}, 0, "Not a valid BMP File"},
      {"one byte", BmpFile{}, 1, "Not a valid BMP File"},
      {"info header cut", BmpFile{}, 40, "Read Error!"},
      {"compression 1", BmpFile{.bits = 8, .compression = 1}, 0, "This is a compressed file."},
      {"palette cut", BmpFile{.bits = 8, .palette = two}, 54 + 6, "Read Error!"},
      {"offset 54",
       BmpFile{.bits = 8, .coloursUsed = 2, .palette = two, .pixels = pixel, .pixelOffset = 54}, 0,
       "Corrupt palette"},
      {"rows cut",
       BmpFile{.height = 2, .bits = 8, .coloursUsed = 2, .palette = two, .pixels = {0, 0, 0, 0, 1}},
       0, "Read Error"},
      {"16 bits", BmpFile{.bits = 16, .pixels = pixel}, 0,
       "Unsupported number of bits per pixel (only 1, 4, 8 and 24 are read)"},
      {"top-down", BmpFile{.height = -1, .pixels = pixel}, 0,
       "Unsupported picture size (top-down or empty)"},
      {"zero width", BmpFile{.width = 0, .pixels = pixel}, 0,
       "Unsupported picture size (top-down or empty)"},
      {"huge", BmpFile{.width = 3000000, .height = 2000000}, 0,
       "This picture is too large to show: 3000000 x 2000000 pixels."},
      {"overflowing", BmpFile{.width = INT32_MAX, .height = INT32_MAX}, 0,
       "This picture is too large to show: 2147483647 x 2147483647 pixels."},
  };
  for (const Case& c : cases) {
    Bytes bytes = c.file.Build();
    if (c.cut != 0) bytes.resize(c.cut);
    EXPECT_FALSE(reader.Read(Write("bad.bmp", bytes), width, height)) << c.name;
    EXPECT_EQ(reader.ErrorText(), c.text) << c.name;
  }
  EXPECT_FALSE(reader.Read(Path("missing.bmp"), width, height));
  EXPECT_EQ(reader.ErrorText(), "Can't open file for reading :\n" + Path("missing.bmp"));
  // The path is put into the text as it is, places of the text's own form included.
  const std::string odd = Path("100%s %d\nmissing.bmp");
  EXPECT_FALSE(reader.Read(odd, width, height));
  EXPECT_EQ(reader.ErrorText(), "Can't open file for reading :\n" + odd);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

}  // namespace
}  // namespace quorvel

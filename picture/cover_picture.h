#pragma once
// The disk's cover picture, held ready for drawing as a 24-bit device-independent bitmap
// (a BITMAPINFOHEADER and bottom-up rows of blue, green, red, padded to 4 bytes), and its
// place in the free area of the full-screen window. Drawing belongs to the window.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "picture/jpeg_loader.h"
#include "picture/rect.h"
#include "picture/rgb_image.h"
#include "platform/files.h"
#include "platform/user_messages.h"

namespace quorvel {

// Laid out as the Windows BITMAPINFOHEADER, so a backend can hand it to the system as is.
struct BitmapInfoHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows run bottom-up
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// Which decoder a cover file name asks for: by its ending, without regard to case.
enum class CoverFormat { None, Jpeg, Bmp };
CoverFormat CoverFormatOf(std::string_view path);

// Decodes `path`, read through `files`, as the cover picture does, showing the same
// messages through `messages`: for a JPEG the loader's own messages and then "JPEG load
// failed"; for a BMP the reader's error text. An unknown ending gives an empty image and
// no message.
RgbImage DecodeCoverFile(const std::string& path, Files& files, UserMessages& messages);

// The same for a picture to be shown shrunk to fit `area`: a JPEG is decoded at the
// smallest of the library's scales that still gives at least the shown size (full size
// when `area` is empty). `fullSize` receives the picture's own size, which the image may
// be smaller than.
RgbImage DecodeCoverFile(const std::string& path, Files& files, UserMessages& messages,
                         PictureSize area, PictureSize& fullSize);

class CoverPicture {
 public:
  // Pictures are read through `files` (never opened here: a file that is not a regular
  // one, such as a FIFO, fails as one that cannot be opened); failures are shown
  // through `messages`.
  CoverPicture(Files& files, UserMessages& messages) : files_(files), messages_(messages) {}

  // Zeroes the header and frees the pixels.
  void Clear();
  bool HasPicture() const { return pixels_ != nullptr; }
  // The picture's own size, by which it is placed; the bitmap may hold fewer pixels.
  PictureSize Size() const { return size_; }
  // The size of the bitmap: Size(), or less for a JPEG loaded for a smaller area.
  PictureSize PixelSize() const { return {header_.width, header_.height}; }

  // Loads a ".jpg", ".jpeg" or ".bmp" file (by the name's ending, without regard to case),
  // replacing the picture. Any other ending returns false and changes nothing. A file
  // that cannot be decoded shows its message, leaves no picture and returns false.
  bool Load(const std::string& path);

  // As Load, for a picture that will be drawn shrunk to fit `area` (FreeArea() of the
  // layout): a JPEG keeps only the pixels that drawing at that size needs, at the
  // smallest of the decoder's scales 1/8, 1/4, 1/2 whose result is still at least the
  // drawn size. Drawn later in a larger area it is stretched; load it again then
  // (PixelSize() below the new drawn size). An empty area loads at full size.
  bool Load(const std::string& path, PictureSize area);

  // Takes over a decoded picture: rows become bottom-up, pixels blue, green, red, each row
  // padded with zero bytes to a multiple of 4. Returns false, with no picture, when the
  // bitmap cannot be allocated.
  bool TakeOver(RgbImage image);
  // The same for a picture decoded smaller than its own size `fullSize`.
  bool TakeOver(RgbImage image, PictureSize fullSize);
  // Takes over a bitmap that is already in the bitmap's form (rows bottom-up, blue,
  // green, red, padded to 4 bytes), decoded at most as large as `fullSize`.
  bool TakeOver(BgrBitmap bitmap, PictureSize fullSize);

  // The free area of the window for the picture: left of `choiceList` and below
  // `movieList`, 10 pixels from every edge. Zero or negative when there is no room.
  static PictureSize FreeArea(const Rect& client, const Rect& movieList, const Rect& choiceList);
  // The size a picture of `picture` is drawn at in `area`: shrunk to fit, never enlarged.
  // (0, 0) when the area has no room.
  static PictureSize DrawnSize(PictureSize picture, PictureSize area);

  // Where to draw the picture: shrunk to fit (never enlarged) and centred in the free area
  // below `movieList` and left of `choiceList`, 10 pixels from every edge. Empty
  // (0, 0, 0, 0) when there is no picture or the free area has no width or height.
  Rect PlaceCoverPicture(const Rect& client, const Rect& movieList, const Rect& choiceList) const;

  // Describes the bitmap (PixelSize()), so that a backend can hand it to the system as is
  // and stretch the whole of it into the rectangle that PlaceCoverPicture gives.
  const BitmapInfoHeader& Header() const { return header_; }
  const std::uint8_t* Pixels() const { return pixels_.get(); }
  // Bytes per bitmap row: ((width x 24 + 31) / 32) x 4.
  std::size_t RowBytes() const;

 private:
  Files& files_;
  UserMessages& messages_;
  BitmapInfoHeader header_;
  std::unique_ptr<std::uint8_t[]> pixels_;
  PictureSize size_;
};

}  // namespace quorvel

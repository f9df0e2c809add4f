#pragma once
// The disk's cover picture, held ready for drawing as a 24-bit device-independent bitmap
// (a BITMAPINFOHEADER and bottom-up rows of blue, green, red, padded to 4 bytes), and its
// place in the free area of the full-screen window. Drawing belongs to the window.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "picture/rect.h"
#include "picture/rgb_image.h"
#include "platform/user_messages.h"

namespace quorvel {

namespace cover_text {
inline constexpr std::string_view kJpegFailed = "JPEG load failed";
}  // namespace cover_text

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

// Decodes `path` as the cover picture does, showing the same messages through `messages`:
// for a JPEG the loader's own messages and then "JPEG load failed"; for a BMP the
// reader's error text. An unknown ending gives an empty image and no message.
RgbImage DecodeCoverFile(const std::string& path, UserMessages& messages);

class CoverPicture {
 public:
  explicit CoverPicture(UserMessages& messages) : messages_(messages) {}

  // Zeroes the header and frees the pixels.
  void Clear();
  bool HasPicture() const { return pixels_ != nullptr; }
  PictureSize Size() const { return {header_.width, header_.height}; }

  // Loads a ".jpg", ".jpeg" or ".bmp" file (by the name's ending, without regard to case),
  // replacing the picture. Any other ending returns false and changes nothing. A file
  // that cannot be decoded shows its message, leaves no picture and returns false.
  bool Load(const std::string& path);

  // Takes over a decoded picture: rows become bottom-up, pixels blue, green, red, each row
  // padded with zero bytes to a multiple of 4. Returns false, with no picture, when the
  // bitmap cannot be allocated.
  bool TakeOver(RgbImage image);

  // Where to draw the picture: shrunk to fit (never enlarged) and centred in the free area
  // below `movieList` and left of `choiceList`, 10 pixels from every edge. Empty
  // (0, 0, 0, 0) when there is no picture or the free area has no width or height.
  Rect PlaceCoverPicture(const Rect& client, const Rect& movieList, const Rect& choiceList) const;

  const BitmapInfoHeader& Header() const { return header_; }
  const std::uint8_t* Pixels() const { return pixels_.get(); }
  // Bytes per bitmap row: ((width x 24 + 31) / 32) x 4.
  std::size_t RowBytes() const;

 private:
  UserMessages& messages_;
  BitmapInfoHeader header_;
  std::unique_ptr<std::uint8_t[]> pixels_;
};

}  // namespace quorvel

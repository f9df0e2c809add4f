#pragma once
// Reads uncompressed Windows BMP files (1, 4, 8 and 24 bits per pixel) into an RgbImage.
// The reader never shows anything: a failure leaves its text in ErrorText() for the
// caller to show.

#include <cstdint>
#include <string>
#include <string_view>

#include "picture/rgb_image.h"
#include "platform/files.h"

namespace quorvel {

// Every text the reader can leave in ErrorText().
namespace bmp_text {
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCantOpen = "Can't open file for reading :\n";  // + path
inline constexpr std::string_view kNotBmp = "Not a valid BMP File";
inline constexpr std::string_view kReadErrorHeader = "Read Error!";  // headers and palette
inline constexpr std::string_view kCompressed = "This is a compressed file.";
inline constexpr std::string_view kCorruptPalette = "Corrupt palette";
inline constexpr std::string_view kAllocFailed = "Memory alloc Failed";  // memory ran out
inline constexpr std::string_view kReadErrorPixels = "Read Error";       // pixel rows and padding
inline constexpr std::string_view kBadBitCount =
    "Unsupported number of bits per pixel (only 1, 4, 8 and 24 are read)";
inline constexpr std::string_view kBadSize = "Unsupported picture size (top-down or empty)";
}  // namespace bmp_text

class BmpReader {
 public:
  // Files are read through `files`; `maxPixels` bounds width x height, and a larger
  // picture fails with PictureTooLargeText (rgb_image.h), which names its size.
  explicit BmpReader(Files& files, std::int64_t maxPixels = kMaxPicturePixels)
      : files_(files), maxPixels_(maxPixels) {}

  // Decodes the BMP file at `path`; a file that the files service does not open (missing,
  // no permission, not a regular file: a FIFO or device) fails with kCantOpen. On success returns
  // the picture, sets width and height and leaves ErrorText() at "OK". On failure returns an empty
  // image and ErrorText() holds the reason. width and height start at 0 and are set from the file
  // just before the pixel buffer is allocated, so a failure while reading pixel rows leaves them
  // set.
  //
  // Header sizes: 12 is the OS/2 1.x core header with 16-bit sizes and 3-byte palette
  // entries. A header of 16 to 39 bytes (shortened OS/2 2.x) has the missing fields
  // zero; one of 40 and more is read as its first 40 bytes. The palette starts where the
  // declared header ends. A size below 16, or one whose header would run into the pixel
  // data, is not believed: the header is taken as 40 bytes. No size is refused.
  //
  // A file must hold every pixel row its header declares, padding included, or it fails
  // with "Read Error" before the picture is allocated.
  RgbImage Read(const std::string& path, int& width, int& height);

  const std::string& ErrorText() const { return errorText_; }

  // Bytes of the file consumed by the last Read. Rows are padded to 4 bytes counted from
  // the pixel data offset, and a palette that ends beyond that offset is corrupt.
  std::uint64_t BytesRead() const { return bytesRead_; }

 private:
  RgbImage Fail(std::string_view text);

  Files& files_;
  std::int64_t maxPixels_;
  std::string errorText_{bmp_text::kOk};
  std::uint64_t bytesRead_ = 0;
};

}  // namespace quorvel

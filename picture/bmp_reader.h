#pragma once
// Reads uncompressed Windows BMP files (1, 4, 8 and 24 bits per pixel) into an RgbImage.
// The reader never shows anything: a failure leaves its text in ErrorText() for the
// caller to show.

#include <cstdint>
#include <string>

#include "picture/rgb_image.h"
#include "platform/files.h"

namespace quorvel {

class BmpReader {
 public:
  // Files are read through `files`; `maxPixels` bounds width x height, and a larger
  // picture fails with PictureTooLargeText (rgb_image.h), which names its size.
  explicit BmpReader(Files& files, std::int64_t maxPixels = kMaxPicturePixels);

  // Decodes the BMP file at `path`; a file that the files service does not open (missing,
  // no permission, not a regular file: a FIFO or device) fails with "Can't open file for reading".
  // On success returns the picture, sets width and height and leaves Ok() true and ErrorText() at
  // "OK". On failure returns an empty image and ErrorText() holds the reason, a text of the
  // string table. width and height start at 0 and are set from the file
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
  bool Ok() const { return ok_; }

  // Bytes of the file consumed by the last Read. Rows are padded to 4 bytes counted from
  // the pixel data offset, and a palette that ends beyond that offset is corrupt.
  std::uint64_t BytesRead() const { return bytesRead_; }

 private:
  RgbImage Fail(int textId);
  RgbImage Fail(std::string text);

  Files& files_;
  std::int64_t maxPixels_;
  std::string errorText_;
  bool ok_ = true;
  std::uint64_t bytesRead_ = 0;
};

}  // namespace quorvel

#pragma once
// Decodes JPEG files into an RgbImage with libjpeg-turbo (libjpeg 6.2 interface).
// Failures that the library calls fatal come back from deep inside the library as a
// null result; its warnings about corrupt but decodable data reach the user.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "picture/rect.h"
#include "picture/rgb_image.h"
#include "platform/files.h"
#include "platform/user_messages.h"

namespace quorvel {

// A 24-bit bitmap as the cover picture holds it: rows bottom-up, each pixel blue, green,
// red, each row padded with zero bytes to a multiple of 4 bytes.
struct BgrBitmap {
  std::unique_ptr<std::uint8_t[]> pixels;
  int width = 0;
  int height = 0;
  std::size_t rowBytes = 0;  // ((width x 24 + 31) / 32) x 4
  explicit operator bool() const { return pixels != nullptr; }
};

class JpegLoader {
 public:
  // Files are read through `files`, in chunks; `messages` shows the loader's own
  // messages; `maxPixels` bounds the width x height of the decoded picture (and of the
  // whole picture for a file decoded in several passes, whose coefficients are all held),
  // and a larger picture is refused before any pixel memory is taken.
  JpegLoader(Files& files, UserMessages& messages, std::int64_t maxPixels = kMaxPicturePixels)
      : files_(files), messages_(messages), maxPixels_(maxPixels) {}

  // Decodes the JPEG file at `path`. Returns the picture (width and height set) or an
  // empty image. Messages shown on the way:
  //  - a file that cannot be opened (missing, no permission, not a regular file: a FIFO
  //    or device): "JPEG :\nCan't open <path>\n" (OK button);
  //  - a picture larger than `maxPixels`: PictureTooLargeText (OK button, warning icon);
  //  - no memory for the picture: "JpegFile :\nOut of memory" (OK button, error icon);
  //  - corrupt but decodable data: the library's first warning of the file in a box
  //    captioned "JPEG Error" (OK button, no icon); decoding goes on.
  // A fatal library error shows nothing; its text is kept in LastFatalError(). A file with
  // more than 1000 scans fails the same way, rather than holding the caller for minutes.
  // Grayscale files give red = green = blue; CMYK output (4 components, as the library
  // delivers Adobe files) is converted to RGB as libjpeg-turbo's djpeg converts it; any
  // other component count gives black rows.
  RgbImage Load(const std::string& path, int& width, int& height);

  // Given the picture's full size, the size it will be shown at (at most the full size).
  using ShownSize = std::function<PictureSize(PictureSize fullSize)>;

  // As Load, but a picture that is only ever shown shrunk is decoded at the smallest of the
  // library's scales 1/8, 1/4 and 1/2 whose result is still at least `shown`'s size in both
  // directions (at full size when none is), which spares most of the decoding work of a
  // big picture. `width` and `height` receive the picture's full size; the image has the
  // decoded size.
  RgbImage Load(const std::string& path, int& width, int& height, const ShownSize& shown);

  // As the Load above, decoding straight into a bitmap's rows (the library converts to
  // blue, green, red and each scanline lands in its bottom-up row), so that the picture
  // is ready for drawing without another pass over it. A picture shown smaller than it
  // is decoded gets its colour planes enlarged the plain way rather than smoothed: the
  // shrinking hides the difference, and it is faster.
  BgrBitmap LoadBitmap(const std::string& path, int& width, int& height, const ShownSize& shown);

  // The library's message for the last fatal error, empty when the last load had none.
  const std::string& LastFatalError() const { return lastFatalError_; }

 private:
  // Decodes into `image` or `bitmap`, whichever is given; false on any failure, with the
  // messages shown.
  bool Run(const std::string& path, int& width, int& height, const ShownSize& shown,
           RgbImage* image, BgrBitmap* bitmap);

  Files& files_;
  UserMessages& messages_;
  std::int64_t maxPixels_;
  std::string lastFatalError_;
};

}  // namespace quorvel

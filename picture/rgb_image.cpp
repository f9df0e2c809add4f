#include "picture/rgb_image.h"

#include <new>

namespace quorvel {

bool RgbImage::SizeAllowed(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
  // Divide rather than multiply: width and height may be anything a file says.
  return width > 0 && height > 0 && width <= maxPixels / height;
}

RgbImage RgbImage::Allocate(std::int64_t width, std::int64_t height, bool zeroed,
                            std::int64_t maxPixels) {
  RgbImage image;
  if (!SizeAllowed(width, height, maxPixels)) return image;
  const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  image.pixels_.reset(zeroed ? new (std::nothrow) std::uint8_t[bytes]()
                             : new (std::nothrow) std::uint8_t[bytes]);
  if (!image.pixels_) return image;
  image.width_ = static_cast<int>(width);
  image.height_ = static_cast<int>(height);
  return image;
}

}  // namespace quorvel

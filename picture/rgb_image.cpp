#include "picture/rgb_image.h"

#include <new>
#include <string_view>

#include "resources/resource_ids.h"
#include "resources/string_table.h"

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

std::string PictureTooLargeText(std::int64_t width, std::int64_t height) {
  // The table's text holds "%d" for the width, then for the height.
  std::string text(res::LoadString(res::kStrPictureTooLarge));
  for (const std::int64_t size : {width, height}) {
    const std::size_t at = text.find("%d");
    if (at == std::string::npos) break;
    text.replace(at, 2, std::to_string(size));
  }
  return text;
}

}  // namespace quorvel

#pragma once
// A decoded picture: width x height pixels of 3 bytes (red, green, blue), rows top-down,
// no row padding. Both picture decoders produce it; the cover picture takes it over.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace quorvel {

// The largest picture the decoders accept, in pixels (8192 x 8192). A cover picture is a
// few megapixels; the bound keeps a small corrupt file from asking for gigabytes, and
// keeps every size computed from width and height far inside 64 bits.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;

// What a user is told of a picture refused because it is larger than the decoders
// accept: the picture's size in words.
std::string PictureTooLargeText(std::int64_t width, std::int64_t height);

class RgbImage {
 public:
  RgbImage() = default;

  // A picture of width x height pixels, or an empty one when either is not positive,
  // their product exceeds `maxPixels`, or memory runs out. Never throws. With `zeroed`
  // every pixel starts black; otherwise the bytes are left uninitialised.
  static RgbImage Allocate(std::int64_t width, std::int64_t height, bool zeroed,
                           std::int64_t maxPixels = kMaxPicturePixels);

  // True when width and height are positive and width x height <= maxPixels.
  static bool SizeAllowed(std::int64_t width, std::int64_t height,
                          std::int64_t maxPixels = kMaxPicturePixels);

  explicit operator bool() const { return pixels_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(width_) * 3; }
  std::size_t SizeBytes() const { return RowBytes() * static_cast<std::size_t>(height_); }
  std::uint8_t* Data() { return pixels_.get(); }
  const std::uint8_t* Data() const { return pixels_.get(); }
  std::uint8_t* Row(int row) { return pixels_.get() + RowBytes() * static_cast<std::size_t>(row); }
  // Hands the pixel buffer to the caller and leaves the image empty.
  std::unique_ptr<std::uint8_t[]> ReleasePixels() {
    width_ = height_ = 0;
    return std::move(pixels_);
  }
  const std::uint8_t* Row(int row) const {
    return pixels_.get() + RowBytes() * static_cast<std::size_t>(row);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<std::uint8_t[]> pixels_;
};

}  // namespace quorvel

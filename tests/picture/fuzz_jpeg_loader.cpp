// Fuzz target: the JPEG loader on arbitrary file contents, and the cover picture after it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_cover_check.h"
#include "fuzz_input_file.h"
#include "picture/cover_picture.h"
#include "picture/jpeg_loader.h"

namespace {
// Smaller than the program's bound, so that inputs declaring large pictures stay fast.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 22;

class CountingMessages final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view, std::string_view caption, quorvel::MessageButtons,
                              quorvel::MessageIcon) override {
    if (caption == "JPEG Error") ++warnings;
    return quorvel::MessageAnswer::Ok;
  }
  int warnings = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = quorvel::fuzzing::InputFile(data, size);
  CountingMessages messages;
  quorvel::Files& files = quorvel::fuzzing::InputFiles();
  quorvel::JpegLoader loader(files, messages, kFuzzMaxPixels);
  int width = -1;
  int height = -1;
  quorvel::RgbImage image = loader.Load(path, width, height);
  // The library's warning policy passes on one warning per file at most.
  if (messages.warnings > 1) std::abort();
  if (!image) return 0;
  if (image.Width() != width || image.Height() != height) std::abort();

  // The same file decoded for a third of its size: at least the drawn size, at most the
  // picture, and the picture's full size reported as before.
  const quorvel::PictureSize area{std::max(1, width / 3), std::max(1, height / 3)};
  const quorvel::PictureSize drawn = quorvel::CoverPicture::DrawnSize({width, height}, area);
  CountingMessages scaledMessages;
  quorvel::JpegLoader scaledLoader(files, scaledMessages, kFuzzMaxPixels);
  int fullWidth = -1;
  int fullHeight = -1;
  const quorvel::RgbImage scaled = scaledLoader.Load(
      path, fullWidth, fullHeight,
      [area](quorvel::PictureSize full) { return quorvel::CoverPicture::DrawnSize(full, area); });
  if (scaled) {
    if (fullWidth != width || fullHeight != height) std::abort();
    if (scaled.Width() < drawn.width || scaled.Height() < drawn.height) std::abort();
    if (scaled.Width() > width || scaled.Height() > height) std::abort();
  }

  // The same decoded straight into the cover's bitmap: the same sizes, and rows padded
  // with zero bytes.
  CountingMessages bitmapMessages;
  quorvel::JpegLoader bitmapLoader(files, bitmapMessages, kFuzzMaxPixels);
  const quorvel::BgrBitmap bitmap = bitmapLoader.LoadBitmap(
      path, fullWidth, fullHeight,
      [area](quorvel::PictureSize full) { return quorvel::CoverPicture::DrawnSize(full, area); });
  if (bitmap) {
    if (fullWidth != width || fullHeight != height) std::abort();
    if (scaled && (bitmap.width != scaled.Width() || bitmap.height != scaled.Height()))
      std::abort();
    const std::size_t pixelBytes = static_cast<std::size_t>(bitmap.width) * 3;
    if (bitmap.rowBytes % 4 != 0 || bitmap.rowBytes < pixelBytes ||
        bitmap.rowBytes > pixelBytes + 3) {
      std::abort();
    }
    for (int row = 0; row < bitmap.height; ++row) {
      for (std::size_t i = pixelBytes; i < bitmap.rowBytes; ++i) {
        if (bitmap.pixels[bitmap.rowBytes * static_cast<std::size_t>(row) + i] != 0) std::abort();
      }
    }
  }

  quorvel::fuzzing::CheckCover(files, std::move(image), data, size);
  return 0;
}

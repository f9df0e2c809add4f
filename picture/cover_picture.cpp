#include "picture/cover_picture.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "picture/bmp_reader.h"
#include "picture/jpeg_loader.h"

namespace quorvel {
namespace {

constexpr int kMargin = 10;  // between the picture's area and the lists and window edges

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(),
                    text.end() - static_cast<std::ptrdiff_t>(ending.size()), [](char a, char b) {
                      const auto lower = [](char c) {
                        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                      };
                      return lower(a) == lower(b);
                    });
}

std::size_t PaddedRowBytes(std::int64_t width) {
  return static_cast<std::size_t>((width * 24 + 31) / 32 * 4);
}

}  // namespace

CoverFormat CoverFormatOf(std::string_view path) {
  if (EndsWithNoCase(path, ".jpg") || EndsWithNoCase(path, ".jpeg")) return CoverFormat::Jpeg;
  if (EndsWithNoCase(path, ".bmp")) return CoverFormat::Bmp;
  return CoverFormat::None;
}

RgbImage DecodeCoverFile(const std::string& path, UserMessages& messages) {
  int width = 0;
  int height = 0;
  switch (CoverFormatOf(path)) {
    case CoverFormat::Jpeg: {
      JpegLoader loader(messages);
      RgbImage image = loader.Load(path, width, height);
      if (!image) messages.Show(cover_text::kJpegFailed, {}, MessageButtons::Ok, MessageIcon::None);
      return image;
    }
    case CoverFormat::Bmp: {
      BmpReader reader;
      RgbImage image = reader.Read(path, width, height);
      if (!image || reader.ErrorText() != bmp_text::kOk) {
        messages.Show(reader.ErrorText(), {}, MessageButtons::Ok, MessageIcon::None);
        return {};
      }
      return image;
    }
    case CoverFormat::None:
      break;
  }
  return {};
}

void CoverPicture::Clear() {
  header_ = BitmapInfoHeader{};
  pixels_.reset();
}

std::size_t CoverPicture::RowBytes() const { return PaddedRowBytes(header_.width); }

bool CoverPicture::Load(const std::string& path) {
  if (CoverFormatOf(path) == CoverFormat::None) return false;
  Clear();
  RgbImage image = DecodeCoverFile(path, messages_);
  if (!image) {
    Clear();
    return false;
  }
  return TakeOver(std::move(image));
}

bool CoverPicture::TakeOver(RgbImage image) {
  Clear();
  if (!image) return false;
  const int width = image.Width();
  const int height = image.Height();
  const std::size_t rowBytes = PaddedRowBytes(width);
  const std::size_t pixelBytes = image.RowBytes();
  std::unique_ptr<std::uint8_t[]> pixels(
      new (std::nothrow) std::uint8_t[rowBytes * static_cast<std::size_t>(height)]);
  if (!pixels) {
    messages_.Show(bmp_text::kAllocFailed, {}, MessageButtons::Ok, MessageIcon::None);
    return false;
  }
  // One pass instead of swapping, flipping and copying in turn: bitmap row r is picture
  // row height - 1 - r with red and blue exchanged; the padding is zero.
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* in = image.Row(height - 1 - row);
    std::uint8_t* out = pixels.get() + rowBytes * static_cast<std::size_t>(row);
    for (std::size_t i = 0; i < pixelBytes; i += 3) {
      out[i] = in[i + 2];
      out[i + 1] = in[i + 1];
      out[i + 2] = in[i];
    }
    std::memset(out + pixelBytes, 0, rowBytes - pixelBytes);
  }
  header_.size = sizeof(BitmapInfoHeader);
  header_.width = width;
  header_.height = height;
  header_.planes = 1;
  header_.bitCount = 24;
  pixels_ = std::move(pixels);
  return true;
}

Rect CoverPicture::PlaceCoverPicture(const Rect& client, const Rect& movieList,
                                     const Rect& choiceList) const {
  if (!HasPicture()) return {};
  // 64-bit throughout, so no rectangle a window system reports can overflow the sums.
  const std::int64_t areaWidth = std::int64_t{choiceList.left} - 2 * kMargin;
  const std::int64_t areaHeight =
      (std::int64_t{client.bottom} - client.top) - movieList.bottom - 2 * kMargin;
  // No room: nothing is drawn, rather than a mirrored picture or one outside the area.
  if (areaWidth <= 0 || areaHeight <= 0) return {};
  const std::int64_t width = header_.width;
  const std::int64_t height = header_.height;
  const double scale = std::min(static_cast<double>(areaWidth) / static_cast<double>(width),
                                static_cast<double>(areaHeight) / static_cast<double>(height));
  std::int64_t drawnWidth = width;
  std::int64_t drawnHeight = height;
  if (scale < 1.0) {
    drawnWidth = static_cast<std::int64_t>(static_cast<double>(width) * scale);
    drawnHeight = static_cast<std::int64_t>(static_cast<double>(height) * scale);
  }
  const std::int64_t left = (areaWidth - drawnWidth) / 2 + kMargin;
  const std::int64_t top = (areaHeight - drawnHeight) / 2 + movieList.bottom + kMargin;
  const std::int64_t right = left + drawnWidth;
  const std::int64_t bottom = top + drawnHeight;
  constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
  constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
  if (top < kIntMin || bottom > kIntMax || right > kIntMax) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
          static_cast<int>(bottom)};
}

}  // namespace quorvel

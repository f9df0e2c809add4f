#include "picture/cover_picture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "picture/bmp_reader.h"
#include "picture/jpeg_loader.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

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

std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}
void Store32(std::uint8_t* p, std::uint32_t value) { std::memcpy(p, &value, sizeof value); }

// Copies 4 pixels (12 bytes) with red and blue exchanged. On little-endian machines it
// works on three 32-bit words, about twice as fast as byte by byte; `in` and `out` may
// be the same.
void SwapRedBlue4(const std::uint8_t* in, std::uint8_t* out) {
  if constexpr (std::endian::native == std::endian::little) {
    // Memory order: w0 = R0 G0 B0 R1, w1 = G1 B1 R2 G2, w2 = B2 R3 G3 B3.
    const std::uint32_t w0 = Load32(in);
    const std::uint32_t w1 = Load32(in + 4);
    const std::uint32_t w2 = Load32(in + 8);
    Store32(out, ((w0 >> 16) & 0xff) | (w0 & 0xff00) | ((w0 & 0xff) << 16) | ((w1 & 0xff00) << 16));
    Store32(out + 4, (w1 & 0xff) | ((w0 >> 24) << 8) | ((w2 & 0xff) << 16) | (w1 & 0xff000000u));
    Store32(out + 8,
            ((w1 >> 16) & 0xff) | ((w2 >> 24) << 8) | (w2 & 0xff0000) | ((w2 & 0xff00) << 16));
  } else {
    std::uint8_t t[12];
    std::memcpy(t, in, sizeof t);
    for (int i = 0; i < 12; i += 3) {
      out[i] = t[i + 2];
      out[i + 1] = t[i + 1];
      out[i + 2] = t[i];
    }
  }
}

// Rows `a` and `b` of `bytes` bytes trade places, red and blue exchanged on the way;
// `a` == `b` just exchanges red and blue.
void ExchangeRowsSwapped(std::uint8_t* a, std::uint8_t* b, std::size_t bytes) {
  std::size_t i = 0;
  for (; i + 12 <= bytes; i += 12) {
    std::uint8_t saved[12];
    std::memcpy(saved, a + i, sizeof saved);
    SwapRedBlue4(b + i, a + i);
    SwapRedBlue4(saved, b + i);
  }
  for (; i < bytes; i += 3) {
    const std::uint8_t red = a[i];
    const std::uint8_t green = a[i + 1];
    const std::uint8_t blue = a[i + 2];
    a[i] = b[i + 2];
    a[i + 1] = b[i + 1];
    a[i + 2] = b[i];
    b[i] = blue;
    b[i + 1] = green;
    b[i + 2] = red;
  }
}

// Copies a row of `bytes` bytes with red and blue exchanged.
void CopyRowSwapped(const std::uint8_t* in, std::uint8_t* out, std::size_t bytes) {
  std::size_t i = 0;
  for (; i + 12 <= bytes; i += 12) SwapRedBlue4(in + i, out + i);
  for (; i < bytes; i += 3) {
    out[i] = in[i + 2];
    out[i + 1] = in[i + 1];
    out[i + 2] = in[i];
  }
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
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

RgbImage DecodeCoverFile(const std::string& path, Files& files, UserMessages& messages) {
  PictureSize fullSize;
  return DecodeCoverFile(path, files, messages, PictureSize{}, fullSize);
}

RgbImage DecodeCoverFile(const std::string& path, Files& files, UserMessages& messages,
                         PictureSize area, PictureSize& fullSize) {
  fullSize = {};
  int width = 0;
  int height = 0;
  switch (CoverFormatOf(path)) {
    case CoverFormat::Jpeg: {
      JpegLoader loader(files, messages);
      RgbImage image = area.width > 0 && area.height > 0
                           ? loader.Load(path, width, height,
                                         [area](PictureSize full) {
                                           return CoverPicture::DrawnSize(full, area);
                                         })
                           : loader.Load(path, width, height);
      if (!image) {
        messages.Show(res::LoadString(res::kStrJpegFailed), {}, MessageButtons::Ok,
                      MessageIcon::None);
        return image;
      }
      fullSize = {width, height};
      return image;
    }
    case CoverFormat::Bmp: {
      BmpReader reader(files);
      RgbImage image = reader.Read(path, width, height);
      if (!image || !reader.Ok()) {
        messages.Show(reader.ErrorText(), {}, MessageButtons::Ok, MessageIcon::None);
        return {};
      }
      fullSize = {image.Width(), image.Height()};
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
  size_ = {};
}

std::size_t CoverPicture::RowBytes() const { return PaddedRowBytes(header_.width); }

bool CoverPicture::Load(const std::string& path) { return Load(path, PictureSize{}); }

bool CoverPicture::Load(const std::string& path, PictureSize area) {
  const CoverFormat format = CoverFormatOf(path);
  if (format == CoverFormat::None) return false;
  Clear();
  if (format == CoverFormat::Jpeg) {
    JpegLoader loader(files_, messages_);
    int width = 0;
    int height = 0;
    JpegLoader::ShownSize shown;
    if (area.width > 0 && area.height > 0) {
      shown = [area](PictureSize full) { return DrawnSize(full, area); };
    }
    BgrBitmap bitmap = loader.LoadBitmap(path, width, height, shown);
    if (!bitmap) {
      messages_.Show(res::LoadString(res::kStrJpegFailed), {}, MessageButtons::Ok,
                     MessageIcon::None);
      return false;
    }
    return TakeOver(std::move(bitmap), {width, height});
  }
  PictureSize fullSize;
  RgbImage image = DecodeCoverFile(path, files_, messages_, area, fullSize);
  if (!image) {
    Clear();
    return false;
  }
  return TakeOver(std::move(image), fullSize);
}

bool CoverPicture::TakeOver(RgbImage image) {
  const PictureSize size{image.Width(), image.Height()};
  return TakeOver(std::move(image), size);
}

bool CoverPicture::TakeOver(RgbImage image, PictureSize fullSize) {
  Clear();
  if (!image) return false;
  const int width = image.Width();
  const int height = image.Height();
  // A picture is never held larger than it is.
  if (fullSize.width < width || fullSize.height < height) fullSize = {width, height};
  const std::size_t rowBytes = PaddedRowBytes(width);
  const std::size_t pixelBytes = image.RowBytes();
  std::unique_ptr<std::uint8_t[]> pixels;
  if (rowBytes == pixelBytes) {
    // Rows need no padding: the picture's own buffer becomes the bitmap. Rows i and
    // height - 1 - i trade places, red and blue exchanged on the way.
    for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
      ExchangeRowsSwapped(image.Row(top), image.Row(bottom), pixelBytes);
    }
    pixels = image.ReleasePixels();
  } else {
    pixels.reset(new (std::nothrow) std::uint8_t[rowBytes * static_cast<std::size_t>(height)]);
    if (!pixels) {
      messages_.Show(res::LoadString(res::kStrPictureAllocFailed), {}, MessageButtons::Ok,
                     MessageIcon::None);
      return false;
    }
    // Bitmap row r is picture row height - 1 - r with red and blue exchanged; the
    // padding is zero.
    for (int row = 0; row < height; ++row) {
      std::uint8_t* out = pixels.get() + rowBytes * static_cast<std::size_t>(row);
      CopyRowSwapped(image.Row(height - 1 - row), out, pixelBytes);
      std::memset(out + pixelBytes, 0, rowBytes - pixelBytes);
    }
  }
  header_.size = sizeof(BitmapInfoHeader);
  header_.width = width;
  header_.height = height;
  header_.planes = 1;
  header_.bitCount = 24;
  pixels_ = std::move(pixels);
  size_ = fullSize;
  return true;
}

bool CoverPicture::TakeOver(BgrBitmap bitmap, PictureSize fullSize) {
  Clear();
  if (!bitmap || bitmap.rowBytes != PaddedRowBytes(bitmap.width)) return false;
  if (fullSize.width < bitmap.width || fullSize.height < bitmap.height) {
    fullSize = {bitmap.width, bitmap.height};
  }
  header_.size = sizeof(BitmapInfoHeader);
  header_.width = bitmap.width;
  header_.height = bitmap.height;
  header_.planes = 1;
  header_.bitCount = 24;
  pixels_ = std::move(bitmap.pixels);
  size_ = fullSize;
  return true;
}

PictureSize CoverPicture::FreeArea(const Rect& client, const Rect& movieList,
                                   const Rect& choiceList) {
  // 64-bit throughout, so no rectangle a window system reports can overflow the sums.
  const std::int64_t width = std::int64_t{choiceList.left} - 2 * kMargin;
  const std::int64_t height =
      (std::int64_t{client.bottom} - client.top) - movieList.bottom - 2 * kMargin;
  return {ClampToInt(width), ClampToInt(height)};
}

PictureSize CoverPicture::DrawnSize(PictureSize picture, PictureSize area) {
  if (area.width <= 0 || area.height <= 0 || picture.width <= 0 || picture.height <= 0) {
    return {};
  }
  const double width = picture.width;
  const double height = picture.height;
  const double scale =
      std::min(static_cast<double>(area.width) / width, static_cast<double>(area.height) / height);
  if (scale >= 1.0) return picture;
  return {static_cast<int>(width * scale), static_cast<int>(height * scale)};
}

Rect CoverPicture::PlaceCoverPicture(const Rect& client, const Rect& movieList,
                                     const Rect& choiceList) const {
  if (!HasPicture()) return {};
  const PictureSize area = FreeArea(client, movieList, choiceList);
  // No room: nothing is drawn, rather than a mirrored picture or one outside the area.
  if (area.width <= 0 || area.height <= 0) return {};
  const PictureSize drawn = DrawnSize(size_, area);
  const std::int64_t left = (area.width - drawn.width) / 2 + kMargin;
  const std::int64_t top =
      (area.height - drawn.height) / 2 + std::int64_t{movieList.bottom} + kMargin;
  const std::int64_t right = left + drawn.width;
  const std::int64_t bottom = top + drawn.height;
  constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
  constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
  if (top < kIntMin || bottom > kIntMax || right > kIntMax) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
          static_cast<int>(bottom)};
}

}  // namespace quorvel

#include "picture/bmp_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "picture/picture_file.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "windows_rules/little_endian.h"

namespace quorvel {
namespace {

// Header sizes with a meaning of their own.
constexpr std::uint32_t kFileHeaderSize = 14;      // magic, file size, reserved, offset
constexpr std::uint32_t kCoreHeaderSize = 12;      // OS/2 1.x: 16-bit sizes, 3-byte entries
constexpr std::uint32_t kShortestInfoHeader = 16;  // OS/2 2.x may stop after the bit count
constexpr std::uint32_t kInfoHeaderSize = 40;      // the fields this reader uses
constexpr std::size_t kSkipChunk = 4092;           // a multiple of both palette entry sizes

std::uint16_t U16(const std::uint8_t* p) { return LoadLittleEndian16(p); }
std::uint32_t U32(const std::uint8_t* p) { return LoadLittleEndian32(p); }
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

struct Header {
  std::uint32_t pixelOffset = 0;
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  unsigned bits = 0;
  std::uint32_t compression = 0;
  std::uint64_t coloursUsed = 0;
  unsigned paletteEntryBytes = 4;
};

// Palette as a lookup table of 256 RGB entries. Entries the file does not define stay
// black, so every index a pixel can hold reads inside the table.
using Palette = std::array<std::array<std::uint8_t, 3>, 256>;

bool Supported(unsigned bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

// Reads `count` palette entries of `entryBytes` (blue, green, red[, reserved]) and keeps
// those the bit count can index. Returns the bytes read; fewer than asked is a read error.
std::uint64_t ReadPalette(PictureFile& file, std::uint64_t count, unsigned entryBytes,
                          Palette& palette) {
  std::array<std::uint8_t, kSkipChunk> chunk;
  std::uint64_t entry = 0;
  std::uint64_t total = 0;
  const std::uint64_t wanted = count * entryBytes;
  while (total < wanted) {
    const auto ask =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), wanted - total));
    const std::size_t got = file.Read(chunk.data(), ask);
    for (std::size_t i = 0; i + entryBytes <= got; i += entryBytes, ++entry) {
      if (entry < palette.size()) palette[entry] = {chunk[i + 2], chunk[i + 1], chunk[i]};
    }
    total += got;
    if (got < ask) break;
  }
  return total;
}

void ExpandIndices(const std::uint8_t* in, unsigned bits, int width, const Palette& palette,
                   std::uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    unsigned index;
    switch (bits) {
      case 8:
        index = in[x];
        break;
      case 4:  // the leftmost pixel sits in the high bits
        index = (in[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0x0f;
        break;
      default:
        index = (in[x >> 3] >> (7 - (x & 7))) & 0x01;
        break;
    }
    std::memcpy(out, palette[index].data(), 3);
  }
}

void SwapRedBlue(std::uint8_t* row, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, row += 3) std::swap(row[0], row[2]);
}

}  // namespace

BmpReader::BmpReader(Files& files, std::int64_t maxPixels)
    : files_(files), maxPixels_(maxPixels), errorText_(res::LoadString(res::kStrBmpOk)) {}

RgbImage BmpReader::Fail(int textId) { return Fail(std::string(res::LoadString(textId))); }

RgbImage BmpReader::Fail(std::string text) {
  errorText_ = std::move(text);
  ok_ = false;
  return {};
}

RgbImage BmpReader::Read(const std::string& path, int& width, int& height) {
  using namespace res;
  width = height = 0;
  errorText_ = LoadString(kStrBmpOk);
  ok_ = true;
  bytesRead_ = 0;

  // Through the files service: a FIFO or device named like a picture is refused at the
  // opening rather than blocking it.
  PictureFile in(files_, path);
  if (!in.IsOpen()) return Fail(FormatString(kStrBmpCantOpen, {path}));

  std::uint8_t magic[2] = {};
  bytesRead_ += in.Read(magic, sizeof magic);
  if (magic[0] != 'B' || magic[1] != 'M') return Fail(kStrBmpNotBmp);

  // File size, two reserved fields, pixel data offset, info header size.
  std::uint8_t fileHeader[16];
  std::size_t got = in.Read(fileHeader, sizeof fileHeader);
  bytesRead_ += got;
  if (got < sizeof fileHeader) return Fail(kStrBmpHeaderReadError);
  Header header;
  header.pixelOffset = U32(fileHeader + 8);
  header.headerSize = U32(fileHeader + 12);

  if (header.headerSize == kCoreHeaderSize) {
    std::uint8_t core[8];
    got = in.Read(core, sizeof core);
    bytesRead_ += got;
    if (got < sizeof core) return Fail(kStrBmpHeaderReadError);
    header.width = U16(core);
    header.height = U16(core + 2);
    header.bits = U16(core + 6);
    header.paletteEntryBytes = 3;
  } else {
    // Any other size is a hint only: it is believed where it names a header that ends
    // before the pixel data (shortened OS/2 2.x headers of 16 to 39 bytes, and the later,
    // longer ones, whose palette follows their own end). Everything else, sizes below 16
    // and headers that would run into the pixel data, is taken as 40 bytes.
    const bool endsBeforePixels =
        std::uint64_t{kFileHeaderSize} + header.headerSize <= header.pixelOffset;
    if (header.headerSize < kShortestInfoHeader || !endsBeforePixels) {
      header.headerSize = kInfoHeaderSize;
    }
    // The fields after the size field; a shortened header leaves the rest zero.
    std::uint8_t info[kInfoHeaderSize - 4] = {};
    const std::size_t wanted = std::min(header.headerSize, kInfoHeaderSize) - 4;
    got = in.Read(info, wanted);
    bytesRead_ += got;
    if (got < wanted) return Fail(kStrBmpHeaderReadError);
    header.width = S32(info);
    header.height = S32(info + 4);
    header.bits = U16(info + 10);
    header.compression = U32(info + 12);
    header.coloursUsed = U32(info + 28);
  }

  if (header.compression != 0) return Fail(kStrBmpCompressed);
  if (!Supported(header.bits)) return Fail(kStrBmpBadBitCount);

  Palette palette{};
  if (header.bits <= 8) {
    // The palette starts where the declared header ends.
    if (header.headerSize > kInfoHeaderSize) {
      const std::uint64_t extra = header.headerSize - kInfoHeaderSize;
      got = static_cast<std::size_t>(in.Skip(extra));
      bytesRead_ += got;
      if (got < extra) return Fail(kStrBmpHeaderReadError);
    }
    std::uint64_t entries = header.coloursUsed != 0 ? header.coloursUsed : 1u << header.bits;
    if (header.headerSize == kCoreHeaderSize) {
      // The core header has no colour count: the palette fills the room before the pixels,
      // up to 2 to the power of the bit count.
      const std::uint64_t room =
          header.pixelOffset > bytesRead_ ? (header.pixelOffset - bytesRead_) / 3 : 0;
      entries = std::min(entries, room);
    }
    const std::uint64_t paletteBytes = entries * header.paletteEntryBytes;
    const std::uint64_t paletteRead = ReadPalette(in, entries, header.paletteEntryBytes, palette);
    bytesRead_ += paletteRead;
    if (paletteRead < paletteBytes) return Fail(kStrBmpHeaderReadError);
  }
  if (bytesRead_ > header.pixelOffset) return Fail(kStrBmpCorruptPalette);
  // Whatever lies between the headers and the pixel data is skipped; a file that ends
  // there has no pixel rows, which the row reading below deals with.
  in.Skip(header.pixelOffset - bytesRead_);
  bytesRead_ = header.pixelOffset;

  if (header.width <= 0 || header.height <= 0) return Fail(kStrBmpBadSize);
  // Both fit an int: they came from 32-bit signed or 16-bit fields and are positive.
  width = static_cast<int>(header.width);
  height = static_cast<int>(header.height);
  if (!RgbImage::SizeAllowed(header.width, header.height, maxPixels_)) {
    return Fail(PictureTooLargeText(header.width, header.height));
  }

  // File rows run bottom-up, each padded to a multiple of 4 bytes. The picture is only
  // allocated once the file is seen to hold every row, so that memory is bounded by what
  // the file can fill, not by what its header claims.
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * header.bits + 7) / 8;
  const std::size_t padding = (4 - rowBytes % 4) % 4;
  const std::size_t fileRow = rowBytes + padding;
  if (in.Size() < std::uint64_t{header.pixelOffset} + std::uint64_t{fileRow} * header.height) {
    return Fail(kStrBmpPixelReadError);
  }
  RgbImage image = RgbImage::Allocate(header.width, header.height, false, maxPixels_);
  if (!image) return Fail(kStrPictureAllocFailed);

  // The rows are read with their padding; a file that got shorter since it was measured
  // fails here all the same.
  if (header.bits == 24) {
    std::uint8_t padBytes[4];
    for (int row = height - 1; row >= 0; --row) {
      std::uint8_t* out = image.Row(row);
      got = in.Read(out, rowBytes);
      bytesRead_ += got;
      if (got < rowBytes) return Fail(kStrBmpPixelReadError);
      SwapRedBlue(out, static_cast<std::size_t>(width));
      got = in.Read(padBytes, padding);
      bytesRead_ += got;
      if (got < padding) return Fail(kStrBmpPixelReadError);
    }
    return image;
  }

  std::unique_ptr<std::uint8_t[]> indices(new (std::nothrow) std::uint8_t[fileRow]);
  if (!indices) return Fail(kStrPictureAllocFailed);
  for (int row = height - 1; row >= 0; --row) {
    got = in.Read(indices.get(), fileRow);
    bytesRead_ += got;
    if (got < fileRow) return Fail(kStrBmpPixelReadError);
    ExpandIndices(indices.get(), header.bits, width, palette, image.Row(row));
  }
  return image;
}

}  // namespace quorvel

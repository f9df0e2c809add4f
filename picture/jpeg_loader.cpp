#include "picture/jpeg_loader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

// jpeglib.h needs FILE and size_t declared first; it declares its functions extern "C".
#include <jpeglib.h>
// After jpeglib.h: the message codes and the macros that raise them.
#include <jerror.h>

#include "picture/picture_file.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {
namespace {

// The library's error manager followed by what the loader's own handlers need.
// `pub` comes first: the library hands the handlers a pointer to it.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf returnPoint;
  UserMessages* messages;
  char fatalText[JMSG_LENGTH_MAX];
};

ErrorManager& ErrorsOf(j_common_ptr info) { return *reinterpret_cast<ErrorManager*>(info->err); }

// Fatal-error exit: keeps the message for diagnostics, shows nothing and jumps back to
// Decode(), never returning into the library.
[[noreturn]] void ExitToLoader(j_common_ptr info) {
  ErrorManager& errors = ErrorsOf(info);
  (*info->err->format_message)(info, errors.fatalText);
  std::longjmp(errors.returnPoint, 1);
}

// Called by the library's standard emit_message, which passes on only the first warning of
// a file (and later ones at trace level 3 or more, a level that is never set here).
void ShowWarning(j_common_ptr info) {
  ErrorManager& errors = ErrorsOf(info);
  char text[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, text);
  // This runs inside the library's C frames: nothing may unwind through them.
  try {
    errors.messages->Show(text, res::LoadString(res::kStrJpegWarningCaption), MessageButtons::Ok,
                          MessageIcon::None);
  } catch (...) {
  }
}

// A progressive file may repeat scans without end (the library only warns), and every
// scan is a pass over the whole picture, so a small file could hold the program for
// minutes. Real files have a few dozen scans at most.
constexpr int kMaxScans = 1000;

// Progress monitor: ends the decoding as a fatal error once the scan limit is passed.
void LimitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  ErrorManager& errors = ErrorsOf(info);
  std::snprintf(errors.fatalText, sizeof errors.fatalText, "More than %d scans", kMaxScans);
  std::longjmp(errors.returnPoint, 1);
}

// The library's data source over a picture file of the files service: it hands the
// library one chunk of the file at a time, straight from the file's own buffer, so that
// memory stays bounded however large the file is. As the library's own file source
// does, a file that ends early is given an end-of-picture marker, with a warning, and
// an empty file is a fatal error.
struct FileSource {
  jpeg_source_mgr pub;  // first: the library hands the handlers a pointer to it
  PictureFile* file = nullptr;
  std::size_t given = 0;  // bytes of the file's chunk handed to the library
  bool startOfFile = true;
};

FileSource& SourceOf(j_decompress_ptr info) { return *reinterpret_cast<FileSource*>(info->src); }

void InitSource(j_decompress_ptr info) { SourceOf(info).startOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr info) {
  static const JOCTET kEndOfImage[] = {0xFF, JPEG_EOI};
  FileSource& source = SourceOf(info);
  source.file->Consume(source.given);
  const std::span<const std::byte> next = source.file->Peek();
  source.given = next.size();
  if (next.empty()) {
    if (source.startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source.pub.next_input_byte = kEndOfImage;
    source.pub.bytes_in_buffer = sizeof kEndOfImage;
  } else {
    source.pub.next_input_byte = reinterpret_cast<const JOCTET*>(next.data());
    source.pub.bytes_in_buffer = next.size();
  }
  source.startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  FileSource& source = SourceOf(info);
  const auto wanted = static_cast<unsigned long>(count);
  if (wanted <= source.pub.bytes_in_buffer) {
    source.pub.next_input_byte += wanted;
    source.pub.bytes_in_buffer -= wanted;
    return;
  }
  // The rest of the chunk, then what lies beyond it is passed over without being read.
  const unsigned long beyond = wanted - source.pub.bytes_in_buffer;
  source.file->Consume(source.given);
  source.given = 0;
  source.file->Skip(beyond);
  source.pub.next_input_byte = nullptr;
  source.pub.bytes_in_buffer = 0;
}

void TermSource(j_decompress_ptr) {}

// Owns the decompressor. It is zero-initialised, so destroying it is safe whether or not
// jpeg_create_decompress ran or finished (the library only frees a memory manager it
// has set up).
struct Decompressor {
  explicit Decompressor(UserMessages& messages) {
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ExitToLoader;
    errors.pub.output_message = ShowWarning;
    errors.messages = &messages;
  }
  ~Decompressor() { jpeg_destroy_decompress(&info); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct info{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  FileSource source{};
};

enum class Outcome { Decoded, TooLarge, OutOfMemory, Fatal };

// The scales the library decodes at with less work than at full size, smallest first.
// libjpeg-turbo's other scales (M/8) run without its SIMD code and cost more than the
// next larger of these: 3/8 more than 1/2, 5/8 to 7/8 more than full size.
constexpr JDIMENSION kScaleDenominators[] = {8, 4, 2};

// Sets the smallest scale whose output is at least `shown` in both directions, or full
// size. True when the picture will be shown smaller than it is decoded.
bool ChooseScale(j_decompress_ptr info, PictureSize shown) {
  const auto least = [](int size) { return static_cast<JDIMENSION>(size > 0 ? size : 0); };
  for (JDIMENSION denominator : kScaleDenominators) {
    info->scale_num = 1;
    info->scale_denom = denominator;
    jpeg_calc_output_dimensions(info);
    if (info->output_width >= least(shown.width) && info->output_height >= least(shown.height)) {
      return info->output_width > least(shown.width) || info->output_height > least(shown.height);
    }
  }
  info->scale_num = 1;
  info->scale_denom = 1;
  return info->image_width > least(shown.width) || info->image_height > least(shown.height);
}

// Inverted CMYK (Adobe files) to blue, green, red, rounded as CmykToRgb.
void CmykToBgr(const JSAMPLE* in, JDIMENSION width, std::uint8_t* out) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const unsigned k = in[3];
    for (int c = 0; c < 3; ++c) {
      out[2 - c] = static_cast<std::uint8_t>((2 * in[c] * k + 255) / 510);
    }
  }
}

std::size_t PaddedRowBytes(JDIMENSION width) {
  return (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
}

// Where the decoded rows go: a top-down RGB picture, or a bottom-up BGR bitmap.
struct Output {
  RgbImage* image = nullptr;
  BgrBitmap* bitmap = nullptr;
};

void GrayToRgb(const JSAMPLE* in, JDIMENSION width, std::uint8_t* out) {
  for (JDIMENSION x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
}

// Inverted CMYK as the library delivers it (Adobe files) to RGB, rounded to nearest:
// red = C x K / 255, and so on.
void CmykToRgb(const JSAMPLE* in, JDIMENSION width, std::uint8_t* out) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const unsigned k = in[3];
    for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((2 * in[c] * k + 255) / 510);
  }
}

// Reads every scanline into the bottom-up rows of `bitmap`, converted to blue, green, red
// by the library where it can, by hand for CMYK.
void ReadBitmapRows(j_decompress_ptr info, BgrBitmap& bitmap) {
  const JDIMENSION height = info->output_height;
  std::uint8_t* base = bitmap.pixels.get();
  const std::size_t pixelBytes = static_cast<std::size_t>(info->output_width) * 3;
  for (JDIMENSION row = 0; row < height; ++row) {
    std::memset(base + bitmap.rowBytes * row + pixelBytes, 0, bitmap.rowBytes - pixelBytes);
  }
  const auto rowOf = [&](JDIMENSION scanline) {
    return base + bitmap.rowBytes * (height - 1 - scanline);
  };
  if (info->out_color_space == JCS_EXT_BGR) {
    // Every row pointer in one array, so that the library hands over as many rows per
    // call as it decodes at once.
    JSAMPARRAY rows =
        (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, 1, height);
    for (JDIMENSION scanline = 0; scanline < height; ++scanline) rows[scanline] = rowOf(scanline);
    while (info->output_scanline < height) {
      jpeg_read_scanlines(info, rows + info->output_scanline, height - info->output_scanline);
    }
    return;
  }
  const int components = info->output_components;
  JSAMPARRAY sample =
      (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                 info->output_width * static_cast<JDIMENSION>(components), 1);
  while (info->output_scanline < height) {
    std::uint8_t* out = rowOf(info->output_scanline);
    jpeg_read_scanlines(info, sample, 1);
    if (components == 4) {
      CmykToBgr(sample[0], info->output_width, out);
    } else {
      std::memset(out, 0, pixelBytes);
    }
  }
}

// Reads every scanline into the top-down RGB rows of `image`.
void ReadImageRows(j_decompress_ptr info, RgbImage& image) {
  const int components = info->output_components;
  JSAMPARRAY sample =
      (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                 info->output_width * static_cast<JDIMENSION>(components), 1);
  while (info->output_scanline < info->output_height) {
    std::uint8_t* out = image.Row(static_cast<int>(info->output_scanline));
    if (components == 3) {
      // RGB rows go straight into the picture: the same bytes as copying the sample row.
      JSAMPROW row = out;
      jpeg_read_scanlines(info, &row, 1);
      continue;
    }
    jpeg_read_scanlines(info, sample, 1);
    if (components == 1) {
      GrayToRgb(sample[0], info->output_width, out);
    } else if (components == 4) {
      CmykToRgb(sample[0], info->output_width, out);
    }
  }
}

// The fatal-error exit longjmps back into this function from inside the library. So that
// the jump skips no clean-up, no object with a destructor lives in this frame (or in the
// library's C frames) while a library function runs: the decompressor, the file and the
// output belong to the caller's frame and are released there, once, whichever way this
// returns. No local changed after setjmp is read after the jump.
Outcome Decode(Decompressor& decompressor, PictureFile& file, std::int64_t maxPixels,
               const JpegLoader::ShownSize* shown, Output output, int& width, int& height) {
  j_decompress_ptr info = &decompressor.info;
  if (setjmp(decompressor.errors.returnPoint) != 0) return Outcome::Fatal;

  jpeg_create_decompress(info);
  // Set after creation, which clears every field but the error manager.
  decompressor.progress.progress_monitor = LimitScans;
  info->progress = &decompressor.progress;
  FileSource& source = decompressor.source;
  source.file = &file;
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillInputBuffer;
  source.pub.skip_input_data = SkipInputData;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  info->src = &source.pub;
  jpeg_read_header(info, TRUE);
  // Both fit an int: JPEG sizes are 16-bit.
  width = static_cast<int>(info->image_width);
  height = static_cast<int>(info->image_height);
  bool shrunk = false;
  if (shown != nullptr && *shown) {
    shrunk = ChooseScale(info, (*shown)(PictureSize{width, height}));
  } else {
    jpeg_calc_output_dimensions(info);
  }
  // Checked before decompression starts, since the library then sizes its own buffers.
  // A picture decoded in one pass needs memory for what it is decoded to, at the scale
  // chosen: a large picture shown small is decoded small. One decoded in several passes
  // (progressive files) keeps the coefficients of the whole picture, so its full size
  // counts.
  if (!RgbImage::SizeAllowed(info->output_width, info->output_height, maxPixels) ||
      (jpeg_has_multiple_scans(info) &&
       !RgbImage::SizeAllowed(info->image_width, info->image_height, maxPixels))) {
    return Outcome::TooLarge;
  }
  if (output.bitmap != nullptr) {
    const J_COLOR_SPACE space = info->jpeg_color_space;
    if (space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB) {
      info->out_color_space = JCS_EXT_BGR;
    }
    // Drawn shrunk, the picture shows nothing of the smoothing of its colour planes on
    // the way up; the plain way is faster.
    if (shrunk) info->do_fancy_upsampling = FALSE;
  }
  jpeg_start_decompress(info);

  const int components = info->output_components;
  if (output.bitmap != nullptr) {
    BgrBitmap& bitmap = *output.bitmap;
    bitmap.rowBytes = PaddedRowBytes(info->output_width);
    bitmap.pixels.reset(new (std::nothrow) std::uint8_t[bitmap.rowBytes * info->output_height]);
    if (!bitmap.pixels) return Outcome::OutOfMemory;
    bitmap.width = static_cast<int>(info->output_width);
    bitmap.height = static_cast<int>(info->output_height);
    ReadBitmapRows(info, bitmap);
  } else {
    const bool converted = components == 1 || components == 3 || components == 4;
    *output.image =
        RgbImage::Allocate(info->output_width, info->output_height, !converted, maxPixels);
    if (!*output.image) return Outcome::OutOfMemory;
    ReadImageRows(info, *output.image);
  }
  jpeg_finish_decompress(info);
  return Outcome::Decoded;
}

}  // namespace

RgbImage JpegLoader::Load(const std::string& path, int& width, int& height) {
  return Load(path, width, height, ShownSize());
}

RgbImage JpegLoader::Load(const std::string& path, int& width, int& height,
                          const ShownSize& shown) {
  RgbImage image;
  if (!Run(path, width, height, shown, &image, nullptr)) return {};
  return image;
}

BgrBitmap JpegLoader::LoadBitmap(const std::string& path, int& width, int& height,
                                 const ShownSize& shown) {
  BgrBitmap bitmap;
  if (!Run(path, width, height, shown, nullptr, &bitmap)) return {};
  return bitmap;
}

bool JpegLoader::Run(const std::string& path, int& width, int& height, const ShownSize& shown,
                     RgbImage* image, BgrBitmap* bitmap) {
  width = height = 0;
  lastFatalError_.clear();
  // Declared in this order so that they are released in the reverse one on every path:
  // the decompressor is destroyed, then the file is closed; the output is the caller's.
  // The file is opened through the files service, which refuses a FIFO or a device
  // rather than blocking on it: such a picture cannot be opened, as a missing one.
  PictureFile file(files_, path);
  if (!file.IsOpen()) {
    messages_.Show(res::FormatString(res::kStrJpegCantOpen, {path}), {}, MessageButtons::Ok,
                   MessageIcon::None);
    return false;
  }
  Decompressor decompressor(messages_);

  const Outcome outcome =
      Decode(decompressor, file, maxPixels_, &shown, {image, bitmap}, width, height);
  if (outcome == Outcome::Decoded) return true;
  const int fullWidth = width;
  const int fullHeight = height;
  width = height = 0;
  if (image != nullptr) *image = RgbImage();
  if (bitmap != nullptr) *bitmap = BgrBitmap();
  if (outcome == Outcome::TooLarge) {
    messages_.Show(PictureTooLargeText(fullWidth, fullHeight), {}, MessageButtons::Ok,
                   MessageIcon::Warning);
  } else if (outcome == Outcome::OutOfMemory) {
    messages_.Show(res::LoadString(res::kStrJpegOutOfMemory), {}, MessageButtons::Ok,
                   MessageIcon::Error);
  } else {
    lastFatalError_ = decompressor.errors.fatalText;
  }
  return false;
}

}  // namespace quorvel

#include "picture/jpeg_loader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// jpeglib.h needs FILE and size_t declared first; it declares its functions extern "C".
#include <jpeglib.h>

namespace quorvel {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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
    errors.messages->Show(text, jpeg_text::kWarningCaption, MessageButtons::Ok, MessageIcon::None);
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
};

enum class Outcome { Decoded, OutOfMemory, Fatal };

// The scales the library decodes at with less work than at full size, smallest first.
constexpr JDIMENSION kScaleDenominators[] = {8, 4, 2};

// Sets the smallest scale whose output is at least `shown` in both directions, or full size.
void ChooseScale(j_decompress_ptr info, PictureSize shown) {
  const auto least = [](int size) { return static_cast<JDIMENSION>(size > 0 ? size : 0); };
  for (JDIMENSION denominator : kScaleDenominators) {
    info->scale_num = 1;
    info->scale_denom = denominator;
    jpeg_calc_output_dimensions(info);
    if (info->output_width >= least(shown.width) && info->output_height >= least(shown.height)) {
      return;
    }
  }
  info->scale_num = 1;
  info->scale_denom = 1;
}

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

// The fatal-error exit longjmps back into this function from inside the library. So that
// the jump skips no clean-up, no object with a destructor lives in this frame (or in the
// library's C frames) while a library function runs: the decompressor, the file and the
// image belong to the caller's frame and are released there, once, whichever way this
// returns. No local changed after setjmp is read after the jump.
Outcome Decode(Decompressor& decompressor, std::FILE* file, std::int64_t maxPixels,
               const JpegLoader::ShownSize* shown, RgbImage& image, int& width, int& height) {
  j_decompress_ptr info = &decompressor.info;
  if (setjmp(decompressor.errors.returnPoint) != 0) return Outcome::Fatal;

  jpeg_create_decompress(info);
  // Set after creation, which clears every field but the error manager.
  decompressor.progress.progress_monitor = LimitScans;
  info->progress = &decompressor.progress;
  jpeg_stdio_src(info, file);
  jpeg_read_header(info, TRUE);
  // Checked before decompression starts, since the library then sizes its own buffers
  // after the picture.
  if (!RgbImage::SizeAllowed(info->image_width, info->image_height, maxPixels)) {
    return Outcome::OutOfMemory;
  }
  width = static_cast<int>(info->image_width);
  height = static_cast<int>(info->image_height);
  if (shown != nullptr && *shown) ChooseScale(info, (*shown)(PictureSize{width, height}));
  jpeg_start_decompress(info);

  const int components = info->output_components;
  const bool converted = components == 1 || components == 3 || components == 4;
  image = RgbImage::Allocate(info->output_width, info->output_height, !converted, maxPixels);
  if (!image) return Outcome::OutOfMemory;

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
  jpeg_finish_decompress(info);
  return Outcome::Decoded;
}

}  // namespace

RgbImage JpegLoader::Load(const std::string& path, int& width, int& height) {
  return Load(path, width, height, ShownSize());
}

RgbImage JpegLoader::Load(const std::string& path, int& width, int& height,
                          const ShownSize& shown) {
  width = height = 0;
  lastFatalError_.clear();
  // Declared in this order so that they are released in the reverse one on every path:
  // the decompressor is destroyed, then the file is closed, then the image is freed
  // (unless it is handed to the caller).
  RgbImage image;
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    std::string text(jpeg_text::kCantOpenPrefix);
    text.append(path).append(jpeg_text::kCantOpenSuffix);
    messages_.Show(text, {}, MessageButtons::Ok, MessageIcon::None);
    return {};
  }
  Decompressor decompressor(messages_);

  const Outcome outcome =
      Decode(decompressor, file.get(), maxPixels_, &shown, image, width, height);
  if (outcome == Outcome::Decoded) return image;
  width = height = 0;
  if (outcome == Outcome::OutOfMemory) {
    messages_.Show(jpeg_text::kOutOfMemory, {}, MessageButtons::Ok, MessageIcon::Error);
  } else {
    lastFatalError_ = decompressor.errors.fatalText;
  }
  return {};
}

}  // namespace quorvel

// Fuzz target: the BMP reader on arbitrary file contents, and the cover picture after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_cover_check.h"
#include "fuzz_input_file.h"
#include "picture/bmp_reader.h"

namespace {
// Smaller than the program's bound, so that inputs declaring large pictures stay fast.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 22;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = quorvel::fuzzing::InputFile(data, size);
  quorvel::Files& files = quorvel::fuzzing::InputFiles();
  quorvel::BmpReader reader(files, kFuzzMaxPixels);
  int width = -1;
  int height = -1;
  quorvel::RgbImage image = reader.Read(path, width, height);
  if (image) {
    // A picture comes only with "OK" and the size it reports.
    if (!reader.Ok() || reader.ErrorText() != "OK") std::abort();
    if (image.Width() != width || image.Height() != height) std::abort();
    quorvel::fuzzing::CheckCover(files, std::move(image), data, size);
  } else if (reader.Ok() || reader.ErrorText() == "OK") {
    std::abort();
  }
  return 0;
}

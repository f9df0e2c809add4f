// Picture decoding speed against named peers, in one run:
//  - BMP reader on a 24-bit 4000 x 3000 file vs stbi_load (goal: at most 1.5 times);
//  - JPEG loader on a 4000 x 3000 file vs a bare libjpeg-turbo decode loop (1.1 times);
//  - CoverPicture::Load of that JPEG, conversion included, vs the bare loop (1.3 times);
//  - the cover of that JPEG made ready for drawing on a 1920 x 1080 full-screen window
//    (decoded only as large as it is drawn, straight into the bitmap) vs the bare
//    full-size loop (goal: 0.3 times), with the bare decodes at 1/2 and 1/8 and at every
//    M/8 scale for comparison.
// The input files are generated at start in a temporary folder and removed at the end.
// The ratios of the median CPU times are printed after the table.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "picture/bmp_reader.h"
#include "picture/cover_picture.h"
#include "picture/jpeg_loader.h"
#include "platform/services.h"
#include "rules/screen/screen_layout.h"
#include "windows_rules/little_endian.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kJpegQuality = 90;

std::string bmpPath;
std::string jpegPath;

class SilentMessages final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view text, std::string_view, quorvel::MessageButtons,
                              quorvel::MessageIcon) override {
    std::fprintf(stderr, "unexpected message: %.*s\n", static_cast<int>(text.size()), text.data());
    return quorvel::MessageAnswer::Ok;
  }
};

// The platform's files service, through which the program reads cover pictures.
quorvel::Files& DiskFiles() {
  static SilentMessages messages;
  static const std::unique_ptr<quorvel::PlatformServices> platform =
      quorvel::CreatePlatformServices(messages);
  return platform->services.files;
}

// A picture that compresses like a photograph: a sky with soft clouds over textured
// land, sixty hard-edged shapes in front, and a little sensor noise. At quality 90 it
// takes about 1.8 bits per pixel, within the range of camera pictures (per-pixel noise
// alone would take several times that and make entropy decoding all of the work).
struct Random {
  std::uint32_t state;
  std::uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  double Unit() { return (Next() >> 8) / 16777216.0; }
};

// Smooth value noise: random values on a grid of `cell` pixels, blended smoothly.
class ValueNoise {
 public:
  ValueNoise(double cell, Random& random)
      : cell_(cell), columns_(static_cast<int>(kWidth / cell) + 2) {
    values_.resize(static_cast<std::size_t>(columns_) * (static_cast<int>(kHeight / cell) + 2));
    for (float& value : values_) value = static_cast<float>(random.Unit());
  }
  double At(double x, double y) const {
    const double fx = x / cell_;
    const double fy = y / cell_;
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = smooth(fx - ix);
    const double ty = smooth(fy - iy);
    const auto v = [this](int cx, int cy) {
      return values_[static_cast<std::size_t>(cy) * columns_ + cx];
    };
    return (v(ix, iy) * (1 - tx) + v(ix + 1, iy) * tx) * (1 - ty) +
           (v(ix, iy + 1) * (1 - tx) + v(ix + 1, iy + 1) * tx) * ty;
  }

 private:
  double cell_;
  int columns_;
  std::vector<float> values_;
};

std::vector<std::uint8_t> MakePicture() {
  constexpr double kTexture = 3.0;
  Random random{12345};
  const ValueNoise large(400, random), middle(90, random), fine(20, random), grain(4, random);
  struct Shape {
    bool ellipse;
    double x, y, halfWidth, halfHeight;
    double colour[3];
  };
  std::vector<Shape> shapes;
  for (int i = 0; i < 60; ++i) {
    Shape shape{
        random.Next() % 2 == 0,   random.Unit() * kWidth,   kHeight * (0.35 + 0.65 * random.Unit()),
        20 + random.Unit() * 200, 20 + random.Unit() * 150, {}};
    for (double& c : shape.colour) c = 30 + random.Unit() * 200;
    shapes.push_back(shape);
  }
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double l = large.At(x, y);
      const double m = middle.At(x, y);
      const double horizon = kHeight * 0.4 + 250 * (large.At(x, 0) - 0.5);
      double p[3];
      if (y < horizon) {
        const double t = y / horizon;
        const double cloud = std::clamp((l * 0.6 + m * 0.4 - 0.45) * 2.5, 0.0, 1.0);
        const double sky[3] = {90 + 80 * t, 140 + 60 * t, 220 - 20 * t};
        for (int c = 0; c < 3; ++c) p[c] = sky[c] * (1 - cloud) + 235 * cloud;
      } else {
        const double texture =
            ((fine.At(x, y) - 0.5) * 40 + (grain.At(x, y) - 0.5) * 24) * kTexture;
        const double land[3] = {60 + 70 * l + 30 * m, 90 + 60 * l + 40 * m, 40 + 30 * m};
        for (int c = 0; c < 3; ++c) p[c] = land[c] + texture;
      }
      for (const Shape& s : shapes) {
        const double dx = (x - s.x) / s.halfWidth;
        const double dy = (y - s.y) / s.halfHeight;
        const bool inside =
            s.ellipse ? dx * dx + dy * dy < 1 : std::abs(dx) < 1 && std::abs(dy) < 1;
        if (!inside) continue;
        const double shade = 0.75 + 0.25 * l + (grain.At(x, y) - 0.5) * 0.15 * kTexture;
        for (int c = 0; c < 3; ++c) p[c] = s.colour[c] * shade;
      }
      std::uint8_t* out = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
      for (int c = 0; c < 3; ++c) {
        const double noise = (static_cast<int>(random.Next() >> 29) - 3.5) * 0.6 * kTexture;
        out[c] = static_cast<std::uint8_t>(std::clamp(p[c] + noise, 0.0, 255.0));
      }
    }
  }
  return rgb;
}

void WriteBmp(const std::string& path, const std::vector<std::uint8_t>& rgb) {
  const std::size_t rowBytes = (kWidth * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t value, int size) {
    quorvel::AppendLittleEndian(out, value, size);
  };
  out.push_back('B');
  out.push_back('M');
  put(static_cast<std::uint32_t>(54 + rowBytes * kHeight), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(kWidth, 4);
  put(kHeight, 4);
  put(1, 2);
  put(24, 2);
  put(0, 24);
  for (int y = kHeight - 1; y >= 0; --y) {
    const std::uint8_t* row = &rgb[static_cast<std::size_t>(y) * kWidth * 3];
    for (int x = 0; x < kWidth; ++x) {
      out.insert(out.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    out.resize(out.size() + rowBytes - kWidth * 3);
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()) std::abort();
  std::fclose(file);
}

void WriteJpeg(const std::string& path, std::vector<std::uint8_t>& rgb) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);  // the default exit ends the program: fine here
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = kWidth;
  info.image_height = kHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kJpegQuality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &rgb[static_cast<std::size_t>(info.next_scanline) * kWidth * 3];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

void BM_BmpReader(benchmark::State& state) {
  quorvel::BmpReader reader(DiskFiles());
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    quorvel::RgbImage image = reader.Read(bmpPath, width, height);
    if (!image) state.SkipWithError(reader.ErrorText().c_str());
    benchmark::DoNotOptimize(image.Data());
  }
}

void BM_StbiLoadBmp(benchmark::State& state) {
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    int components = 0;
    stbi_uc* pixels = stbi_load(bmpPath.c_str(), &width, &height, &components, 3);
    if (pixels == nullptr) state.SkipWithError("stbi_load failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

// The peer: libjpeg-turbo driven the plain way, every row straight into one buffer, at the
// scale 1/`denominator`.
void BareLibjpegDecode(benchmark::State& state, unsigned numerator, unsigned denominator) {
  for (auto _ : state) {
    std::FILE* file = std::fopen(jpegPath.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = numerator;
    info.scale_denom = denominator;
    jpeg_start_decompress(&info);
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[stride * info.output_height]);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = buffer.get() + stride * info.output_scanline;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    benchmark::DoNotOptimize(buffer.get());
  }
}

void BM_BareLibjpegDecode(benchmark::State& state) { BareLibjpegDecode(state, 1, 1); }
void BM_BareLibjpegDecodeHalf(benchmark::State& state) { BareLibjpegDecode(state, 1, 2); }
void BM_BareLibjpegDecodeEighth(benchmark::State& state) { BareLibjpegDecode(state, 1, 8); }
// Every scale M/8 the library offers: only 1/8, 2/8, 4/8 and 8/8 run with its SIMD code.
void BM_BareLibjpegDecodeEighths(benchmark::State& state) {
  BareLibjpegDecode(state, static_cast<unsigned>(state.range(0)), 8);
}

void BM_JpegLoader(benchmark::State& state) {
  SilentMessages messages;
  quorvel::JpegLoader loader(DiskFiles(), messages);
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    quorvel::RgbImage image = loader.Load(jpegPath, width, height);
    if (!image) state.SkipWithError("JPEG load failed");
    benchmark::DoNotOptimize(image.Data());
  }
}

void BM_CoverPictureLoadJpeg(benchmark::State& state) {
  SilentMessages messages;
  quorvel::CoverPicture picture(DiskFiles(), messages);
  for (auto _ : state) {
    if (!picture.Load(jpegPath)) state.SkipWithError("cover load failed");
    benchmark::DoNotOptimize(picture.Pixels());
    picture.Clear();
  }
}

// The free area for the cover in the full-screen window on a 1920 x 1080 screen: the window's
// template (200 x 150 dialog units; movie list 7, 28, 186, 21; choice list 147, 110, 46, 33)
// at the base units 6 x 13 of its 8-point font, stretched to the screen, with two movie
// rows and three choices of 30 pixels.
quorvel::PictureSize CoverAreaOnFullHd() {
  const quorvel::Rect design{0, 0, 300, 244};
  const quorvel::Rect screen{0, 0, 1920, 1080};
  quorvel::screen::ScreenLayout layout{{11, 11, 290, 39}, {11, 46, 290, 80}, {221, 179, 290, 232}};
  layout = quorvel::screen::Relayout(layout, design, screen);
  layout.movieList = quorvel::screen::FitMovieList(layout.movieList, 3, 30, screen);
  const int choices[] = {30, 30, 30};
  layout.choiceList = quorvel::screen::FitChoiceList(layout.choiceList, choices, screen);
  return quorvel::CoverPicture::FreeArea(screen, layout.movieList, layout.choiceList);
}

void BM_CoverPictureForFullHdScreen(benchmark::State& state) {
  SilentMessages messages;
  quorvel::CoverPicture picture(DiskFiles(), messages);
  const quorvel::PictureSize area = CoverAreaOnFullHd();
  for (auto _ : state) {
    if (!picture.Load(jpegPath, area)) state.SkipWithError("cover load failed");
    benchmark::DoNotOptimize(picture.Pixels());
  }
  const quorvel::PictureSize drawn = quorvel::CoverPicture::DrawnSize(picture.Size(), area);
  state.SetLabel(std::to_string(drawn.width) + "x" + std::to_string(drawn.height) + " drawn, " +
                 std::to_string(picture.PixelSize().width) + "x" +
                 std::to_string(picture.PixelSize().height) + " decoded");
}

// Medians of several repetitions, so that a busy machine disturbs the ratios less.
constexpr int kRepetitions = 5;
BENCHMARK(BM_BmpReader)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_StbiLoadBmp)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_JpegLoader)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_BareLibjpegDecode)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_CoverPictureLoadJpeg)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_CoverPictureForFullHdScreen)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_BareLibjpegDecodeHalf)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_BareLibjpegDecodeEighth)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_BareLibjpegDecodeEighths)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// Shows the usual table and keeps each benchmark's median time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
          !run.error_occurred) {
        cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
        real[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> cpu;
  std::map<std::string, double> real;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  char folder[] = "/tmp/quorvel-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  bmpPath = std::string(folder) + "/cover.bmp";
  jpegPath = std::string(folder) + "/cover.jpg";
  {
    std::vector<std::uint8_t> rgb = MakePicture();
    WriteBmp(bmpPath, rgb);
    WriteJpeg(jpegPath, rgb);
  }
  const auto jpegBytes = static_cast<std::uintmax_t>(std::filesystem::file_size(jpegPath));
  std::printf("inputs: %s (%ju bytes), %s (%ju bytes, %.2f bits per pixel), %d x %d\n",
              bmpPath.c_str(), static_cast<std::uintmax_t>(std::filesystem::file_size(bmpPath)),
              jpegPath.c_str(), jpegBytes,
              8.0 * static_cast<double>(jpegBytes) / (kWidth * kHeight), kWidth, kHeight);

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::filesystem::remove_all(folder);

  struct Goal {
    const char* ours;
    const char* peer;
    double limit;  // 0: shown for comparison, no goal
  };
  const Goal goals[] = {
      {"BM_BmpReader", "BM_StbiLoadBmp", 1.5},
      {"BM_JpegLoader", "BM_BareLibjpegDecode", 1.1},
      {"BM_CoverPictureLoadJpeg", "BM_BareLibjpegDecode", 1.3},
      {"BM_CoverPictureForFullHdScreen", "BM_BareLibjpegDecode", 0.3},
      {"BM_CoverPictureForFullHdScreen", "BM_BareLibjpegDecodeHalf", 0},
      {"BM_BareLibjpegDecodeHalf", "BM_BareLibjpegDecode", 0},
      {"BM_BareLibjpegDecodeEighth", "BM_BareLibjpegDecode", 0},
  };
  int missed = 0;
  std::printf("\nratio of medians (CPU time; real time in brackets)  goal\n");
  for (const Goal& goal : goals) {
    if (!reporter.cpu.count(goal.ours) || !reporter.cpu.count(goal.peer)) continue;
    const double ratio = reporter.cpu[goal.ours] / reporter.cpu[goal.peer];
    const double realRatio = reporter.real[goal.ours] / reporter.real[goal.peer];
    if (goal.limit == 0) {
      std::printf("%s / %s = %.3f (%.3f)  (for comparison)\n", goal.ours, goal.peer, ratio,
                  realRatio);
      continue;
    }
    const bool met = ratio <= goal.limit;
    missed += met ? 0 : 1;
    std::printf("%s / %s = %.3f (%.3f)  <= %.1f %s\n", goal.ours, goal.peer, ratio, realRatio,
                goal.limit, met ? "met" : "MISSED");
  }
  benchmark::Shutdown();
  return missed == 0 ? 0 : 1;
}

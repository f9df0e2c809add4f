// Picture decoding speed against named peers, in one run:
//  - BMP reader on a 24-bit 4000 x 3000 file vs stbi_load (goal: at most 1.5 times);
//  - JPEG loader on a 4000 x 3000 file vs a bare libjpeg-turbo decode loop (1.1 times);
//  - CoverPicture::Load of that JPEG, conversion included, vs the bare loop (1.3 times).
// The input files are generated at start in a temporary folder and removed at the end.
// The ratios of the median CPU times are printed after the table.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <stb_image.h>
#include <unistd.h>

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
#include "screen/screen_layout.h"
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

// A picture with smooth gradients and some fine detail, so that the JPEG is of a size
// typical for a photograph rather than a flat colour.
std::vector<std::uint8_t> MakePicture() {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const auto detail = static_cast<int>((noise >> 16) & 0x1f);
      std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
      p[0] = static_cast<std::uint8_t>((x * 255 / kWidth + detail) & 0xff);
      p[1] = static_cast<std::uint8_t>((y * 255 / kHeight + detail) & 0xff);
      p[2] = static_cast<std::uint8_t>(((x + y) / 32 * 16 + detail) & 0xff);
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
  quorvel::BmpReader reader;
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
void BareLibjpegDecode(benchmark::State& state, unsigned denominator) {
  for (auto _ : state) {
    std::FILE* file = std::fopen(jpegPath.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
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

void BM_BareLibjpegDecode(benchmark::State& state) { BareLibjpegDecode(state, 1); }
void BM_BareLibjpegDecodeEighth(benchmark::State& state) { BareLibjpegDecode(state, 8); }

void BM_JpegLoader(benchmark::State& state) {
  SilentMessages messages;
  quorvel::JpegLoader loader(messages);
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
  quorvel::CoverPicture picture(messages);
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
  quorvel::CoverPicture picture(messages);
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
BENCHMARK(BM_BareLibjpegDecodeEighth)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

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
  std::printf("inputs: %s (%ju bytes), %s (%ju bytes), %d x %d\n", bmpPath.c_str(),
              static_cast<std::uintmax_t>(std::filesystem::file_size(bmpPath)), jpegPath.c_str(),
              static_cast<std::uintmax_t>(std::filesystem::file_size(jpegPath)), kWidth, kHeight);

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

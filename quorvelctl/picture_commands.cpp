// quorvelctl cover [--ppm OUT] FILE: decodes FILE as the cover picture of the full-screen
// window would, and prints its size or the messages the user would see.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "picture/cover_picture.h"
#include "quorvelctl/commands.h"

namespace quorvelctl {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes the picture as a binary PPM (P6): top-down rows of red, green, blue.
bool WritePpm(const std::string& path, const quorvel::RgbImage& image) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (std::fprintf(file.get(), "P6\n%d %d\n255\n", image.Width(), image.Height()) < 0) {
    return false;
  }
  if (std::fwrite(image.Data(), 1, image.SizeBytes(), file.get()) != image.SizeBytes()) {
    return false;
  }
  return std::fclose(file.release()) == 0;
}

struct CoverOptions {
  std::string file;
  std::string ppm;
};

void RunCover(const CoverOptions& options, Context& context) {
  quorvel::UserMessages& messages = context.services().messages;
  quorvel::RgbImage image =
      quorvel::DecodeCoverFile(options.file, context.services().files, messages);
  if (!image) {
    context.exitCode = 1;
    return;
  }
  if (!options.ppm.empty() && !WritePpm(options.ppm, image)) {
    std::fprintf(stderr, "Can't write %s\n", options.ppm.c_str());
    context.exitCode = 1;
    return;
  }
  // The picture the window would hold: taking it over must succeed too.
  const int width = image.Width();
  const int height = image.Height();
  quorvel::CoverPicture picture(context.services().files, messages);
  if (!picture.TakeOver(std::move(image))) {
    context.exitCode = 1;
    return;
  }
  std::printf("%dx%d\n", width, height);
  context.exitCode = 0;
}

}  // namespace

void AddPictureCommands(Command& app, Context& context) {
  auto options = std::make_shared<CoverOptions>();
  auto* cover = app.add_subcommand(
      "cover",
      "Load FILE as the cover picture (.jpg, .jpeg or .bmp) and print its size as WIDTHxHEIGHT; "
      "on failure print the messages the user would see on stderr and exit with status 1");
  cover->add_option("FILE", options->file, "Picture file")->required();
  cover->add_option("--ppm", options->ppm, "Also write the decoded picture to OUT as binary PPM")
      ->option_text("OUT");
  cover->callback([options, &context] { RunCover(*options, context); });
}

}  // namespace quorvelctl

// The decoders against real files of public test suites, with reference decodes made by
// other programs (tests/data/picture/README.md): the manifests say what each file is.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "picture/bmp_reader.h"
#include "picture/jpeg_loader.h"
#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

using testing::PictureData;
using testing::ReadBytes;
using testing::Span;

using Row = std::map<std::string, std::string>;

std::vector<Row> ReadManifest(const std::string& relative) {
  std::ifstream in(PictureData(relative));
  std::vector<Row> rows;
  std::vector<std::string> columns;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (columns.empty()) {
      columns = fields;
      continue;
    }
    Row row;
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
      row[columns[i]] = fields[i];
    }
    rows.push_back(row);
  }
  return rows;
}

// "g/pal8.bmp" -> "bmpsuite/ref/g/pal8.rgb"
std::string BmpReference(const std::string& file) {
  return "bmpsuite/ref/" + file.substr(0, file.size() - 4) + ".rgb";
}

TEST(PictureConformance, BmpSuiteDecodesExactlyOrFailsWithAText) {
  const std::vector<Row> rows = ReadManifest("bmpsuite/MANIFEST.tsv");
  ASSERT_EQ(rows.size(), 70u);
  int decoded = 0;
  for (const Row& row : rows) {
    const std::string& file = row.at("file");
    BmpReader reader(DiskFiles());
    int width = 0;
    int height = 0;
    RgbImage image = reader.Read(PictureData("bmpsuite/" + file), width, height);
    if (row.at("expect") == "decode") {
      // Every file here decodes, the OS/2 ones included.
      ASSERT_TRUE(image) << file << ": " << reader.ErrorText();
      EXPECT_EQ(width, std::stoi(row.at("width"))) << file;
      EXPECT_EQ(height, std::stoi(row.at("height"))) << file;
      EXPECT_TRUE(Span(image.Data(), image.SizeBytes()) ==
                  ReadBytes(PictureData(BmpReference(file))))
          << file << " differs from its reference";
      ++decoded;
    } else {
      EXPECT_FALSE(image) << file;
      EXPECT_NE(reader.ErrorText(), "OK") << file;
      EXPECT_FALSE(reader.ErrorText().empty()) << file;
    }
  }
  EXPECT_EQ(decoded, 31);
}

TEST(PictureConformance, BadBmpFilesGiveATextOrAPictureOfTheirSize) {
  // Outcomes that follow from the reader's rules, for the files where they are not
  // simply "refused because of the header".
  const std::map<std::string, std::string> expected = {
      {"b/badbitcount.bmp", "Unsupported number of bits per pixel (only 1, 4, 8 and 24 are read)"},
      {"b/badpalettesize.bmp", "Read Error!"},  // 305402420 palette entries, file ends first
      {"b/badwidth.bmp", "Unsupported picture size (top-down or empty)"},
      {"b/reallybig.bmp", "This picture is too large to show: 3000000 x 2000000 pixels."},
      {"b/shortfile.bmp", "Read Error"},  // 1-bit rows end early
      {"b/pal8badindex.bmp", "OK"},       // indices beyond the palette are black
      {"b/badheadersize.bmp", "OK"},      // the palette is read where its 66-byte header ends
  };
  const std::vector<Row> rows = ReadManifest("bmpsuite/BAD.tsv");
  ASSERT_EQ(rows.size(), 20u);
  for (const Row& row : rows) {
    const std::string& file = row.at("file");
    BmpReader reader(DiskFiles());
    int width = 0;
    int height = 0;
    RgbImage image = reader.Read(PictureData("bmpsuite/" + file), width, height);
    if (image) {
      EXPECT_EQ(reader.ErrorText(), "OK") << file;
      EXPECT_EQ(image.Width(), std::stoi(row.at("width"))) << file;
      EXPECT_EQ(image.Height(), std::stoi(row.at("height"))) << file;
    } else {
      EXPECT_NE(reader.ErrorText(), "OK") << file;
    }
    if (auto it = expected.find(file); it != expected.end()) {
      EXPECT_EQ(reader.ErrorText(), it->second) << file;
    }
  }
}

TEST(PictureConformance, JpegFilesGiveDjpegsPixelsAndItsWarnings) {
  const std::vector<Row> rows = ReadManifest("jpeg/MANIFEST.tsv");
  ASSERT_EQ(rows.size(), 14u);
  for (const Row& row : rows) {
    const std::string& file = row.at("file");
    const std::string& expect = row.at("expect");
    RecordingMessages messages;
    JpegLoader loader(DiskFiles(), messages);
    int width = 0;
    int height = 0;
    RgbImage image = loader.Load(PictureData("jpeg/" + file), width, height);
    // djpeg prints the library's warnings and its fatal error, " | " between them; the
    // loader shows the warning (one at most) and keeps the fatal text.
    std::string shown;
    for (const auto& box : messages.messages) {
      EXPECT_EQ(box.caption, "JPEG Error") << file;
      shown += (shown.empty() ? "" : " | ") + box.text;
    }
    if (!loader.LastFatalError().empty()) {
      shown += (shown.empty() ? "" : " | ") + loader.LastFatalError();
    }
    const std::string djpegMessages =
        row.at("djpeg_messages") == "-" ? "" : row.at("djpeg_messages");
    EXPECT_EQ(shown, djpegMessages) << file;
    EXPECT_LE(messages.messages.size(), 1u) << file;
    if (expect == "fail") {
      EXPECT_FALSE(image) << file;
      continue;
    }
    ASSERT_TRUE(image) << file << ": " << loader.LastFatalError();
    EXPECT_EQ(width, std::stoi(row.at("width"))) << file;
    EXPECT_EQ(height, std::stoi(row.at("height"))) << file;
    // The CMYK file's reference is djpeg's own conversion to RGB, which the loader copies.
    const std::string reference = "jpeg/ref/" + file.substr(0, file.size() - 4) + ".rgb";
    EXPECT_TRUE(Span(image.Data(), image.SizeBytes()) == ReadBytes(PictureData(reference)))
        << file << " differs from its reference";
  }
}

}  // namespace
}  // namespace quorvel

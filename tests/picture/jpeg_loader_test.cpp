// The JPEG loader's messages and clean-up; its pixels and warning texts are checked
// against the test files in picture_conformance_test.cpp.
#include "picture/jpeg_loader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_test_files.h"
#include "platform/fake/recording_messages.h"

namespace quorvel {
namespace {

using testing::DiskFiles;

using testing::PictureData;

TEST(JpegLoaderTest, ShowsOnlyItsOwnMessagesAndTheFirstWarningAndReleasesEverything) {
  RecordingMessages messages;
  int width = 0;
  int height = 0;
  auto load = [&](const std::string& name, std::int64_t maxPixels = kMaxPicturePixels) {
    messages.messages.clear();
    return static_cast<bool>(
        JpegLoader(DiskFiles(), messages, maxPixels).Load(PictureData(name), width, height));
  };

  // Every load again and again: a file that one of them leaves open adds one descriptor
  // per pass, ten after ten passes. The first pass is not counted, and a few descriptors
  // more or less are the runtime's own (Wine opens and closes files of its own at will).
  auto pass = [&] {
    // Fatal errors show nothing, wherever they strike: at the first marker, after a
    // warning, in the header, when decompression starts.
    for (const char* name :
         {"jpeg/notjpeg.jpg", "jpeg/gen-truncated-header.jpg", "jpeg/testorig12.jpg"}) {
      EXPECT_FALSE(load(name)) << name;
      for (const auto& box : messages.messages) EXPECT_EQ(box.caption, "JPEG Error") << name;
    }
    // Corrupt but decodable: one box with the library's text, OK button, no icon.
    EXPECT_TRUE(load("jpeg/gen-junk-before-sos.jpg"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Corrupt JPEG data: 5 extraneous bytes before marker 0xda");
    EXPECT_EQ(messages.messages[0].caption, "JPEG Error");
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::None);

    EXPECT_FALSE(load("jpeg/missing.jpg"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "JPEG :\nCan't open " + PictureData("jpeg/missing.jpg") + "\n");

    // A picture larger than the loader takes says so, in words.
    EXPECT_FALSE(load("jpeg/testorig.jpg", 227 * 149 - 1));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "This picture is too large to show: 227 x 149 pixels.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(load("jpeg/testorig.jpg", 227 * 149));
  };
  // The first passes let the system's own caches settle (Wine keeps descriptors of the
  // handles it has seen); a leak then still grows by one or more in every pass.
  constexpr int kPasses = 10;
  for (int i = 0; i < kPasses; ++i) pass();
  const int descriptors = testing::OpenDescriptors();
  for (int i = 0; i < kPasses; ++i) pass();
  EXPECT_LT(testing::OpenDescriptors() - descriptors, kPasses) << "a load leaves a file open";
}

class JpegScanLimitTest : public testing::TempDirTest {};

TEST_F(JpegScanLimitTest, AFileWithEndlessScansFailsAfterTheThousandth) {
  // The last scan of a progressive file, repeated: the library only warns about it.
  const testing::Bytes original = testing::ReadBytes(PictureData("jpeg/testimgp.jpg"));
  const std::uint8_t marker[] = {0xff, 0xda};  // start of scan
  const auto lastScan =
      std::find_end(original.begin(), original.end(), std::begin(marker), std::end(marker));
  ASSERT_NE(lastScan, original.end());
  const testing::Bytes scan(lastScan, original.end() - 2);  // up to the end-of-image marker
  auto withScans = [&](int count) {                         // the file has 10 scans of its own
    testing::Bytes bytes(original.begin(), original.end() - 2);
    for (int i = 10; i < count; ++i) bytes.insert(bytes.end(), scan.begin(), scan.end());
    bytes.insert(bytes.end(), {0xff, 0xd9});
    return Write(std::to_string(count) + ".jpg", bytes);
  };
  RecordingMessages messages;
  JpegLoader loader(DiskFiles(), messages);
  int width = 0;
  int height = 0;
  EXPECT_TRUE(loader.Load(withScans(1000), width, height));
  EXPECT_FALSE(loader.Load(withScans(1001), width, height));
  EXPECT_EQ(loader.LastFatalError(), "More than 1000 scans");
}

}  // namespace
}  // namespace quorvel

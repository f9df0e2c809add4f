#include "picture/jpeg_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "picture_test_files.h"
#include "support/recording_messages.h"

namespace quorvel {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using testing::PictureData;
using testing::ReadBytes;
using testing::RecordingMessages;
using testing::Span;

class JpegLoaderTest : public ::testing::Test {
 protected:
  RgbImage Load(const std::string& relative, std::int64_t maxPixels = kMaxPicturePixels) {
    JpegLoader loader(messages, maxPixels);
    RgbImage image = loader.Load(PictureData(relative), width, height);
    fatalError = loader.LastFatalError();
    return image;
  }

  RecordingMessages messages;
  std::string fatalError;
  int width = -1;
  int height = -1;
};

TEST_F(JpegLoaderTest, GrayscaleSamplesBecomeEqualRedGreenBlue) {
  RgbImage image = Load("jpeg/gen-gray-2x1.jpg");
  ASSERT_TRUE(image);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 1);
  EXPECT_THAT(Span(image.Data(), image.SizeBytes()), ElementsAre(10, 10, 10, 200, 200, 200));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(JpegLoaderTest, CorruptButDecodableDataShowsItsFirstWarningAndThePicture) {
  RgbImage image = Load("jpeg/gen-junk-before-sos.jpg");
  ASSERT_TRUE(image);
  ASSERT_EQ(messages.messages.size(), 1u);
  const auto& box = messages.messages[0];
  EXPECT_EQ(box.text, "Corrupt JPEG data: 5 extraneous bytes before marker 0xda");
  EXPECT_EQ(box.caption, "JPEG Error");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.icon, MessageIcon::None);
  EXPECT_EQ(Span(image.Data(), image.SizeBytes()), ReadBytes(PictureData("jpeg/ref/testorig.rgb")));
}

TEST_F(JpegLoaderTest, FatalErrorsShowNothingAndReleaseEverything) {
  const int descriptors = testing::OpenDescriptors();
  // Fatal at the first marker: no box at all.
  EXPECT_FALSE(Load("jpeg/notjpeg.jpg"));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(fatalError, "Not a JPEG file: starts with 0x54 0x68");
  // A warning first, then the fatal error: the warning has been shown.
  EXPECT_FALSE(Load("jpeg/gen-truncated-header.jpg"));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Premature end of JPEG file");
  EXPECT_EQ(fatalError, "Invalid JPEG file structure: missing SOS marker");
  // Fatal while decompression starts, after the header was read.
  EXPECT_FALSE(Load("jpeg/testorig12.jpg"));
  EXPECT_EQ(fatalError, "Unsupported JPEG data precision 12");
  // A successful load after failures starts clean.
  EXPECT_TRUE(Load("jpeg/testorig.jpg"));
  EXPECT_EQ(fatalError, "");
  EXPECT_EQ(testing::OpenDescriptors(), descriptors) << "a file was left open";
}

TEST_F(JpegLoaderTest, FilesThatCannotBeOpenedOrHeldShowTheLoadersOwnMessage) {
  EXPECT_FALSE(Load("jpeg/missing.jpg"));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "JPEG :\nCan't open " + PictureData("jpeg/missing.jpg") + "\n");
  EXPECT_EQ(messages.messages[0].icon, MessageIcon::None);

  // A picture larger than the loader takes is the out-of-memory case, with the stop icon.
  messages.messages.clear();
  const int descriptors = testing::OpenDescriptors();
  EXPECT_FALSE(Load("jpeg/testorig.jpg", 227 * 149 - 1));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "JpegFile :\nOut of memory");
  EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(testing::OpenDescriptors(), descriptors);
  EXPECT_TRUE(Load("jpeg/testorig.jpg", 227 * 149));
}

}  // namespace
}  // namespace quorvel

// The demo disk in samples/demo-disk: what the program reads from it, and that mpv plays
// every movie on it, the second audio stream included.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "picture/cover_picture.h"
#include "platform/fake/recording_messages.h"
#include "platform/services.h"
#include "support/shell_command.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::CommandRun;
using testing::RunShell;
using testing::ShellQuote;

const std::string kDisk = QUORVEL_SOURCE_DIR "/samples/demo-disk";

CommandRun Shell(const std::string& command) { return RunShell(command + " </dev/null 2>&1"); }

TEST(DemoDisk, HoldsThreeDivXMoviesOneWithTwoAudioStreamsAndACover) {
  testing::TempTree tree;
  // Default settings: a store of its own, so the user's settings do not count.
  const CommandRun read = Shell("XDG_CONFIG_HOME=" + ShellQuote(tree.Path("config")) + " " +
                                ShellQuote(QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl") +
                                " read --json " + ShellQuote(kDisk));
  ASSERT_EQ(read.status, 0) << read.out;
  const nlohmann::json disk = nlohmann::json::parse(read.out);
  EXPECT_TRUE(disk["present"].get<bool>());
  ASSERT_EQ(disk["movies"].size(), 3u);
  const char* titles[] = {"Test Pattern", "Colour Bars", "Two Languages"};
  const int streams[] = {1, 1, 2};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(disk["movies"][i]["title"], titles[i]);
    EXPECT_EQ(disk["movies"][i]["typeName"], "DivX");
    EXPECT_EQ(disk["movies"][i]["audioStreams"], streams[i]);
  }
  const std::string cover = disk["picture"];
  EXPECT_EQ(cover, kDisk + "/cover.jpg");
  RecordingMessages messages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  CoverPicture picture(platform->services.files, messages);
  EXPECT_TRUE(picture.Load(cover));
  EXPECT_EQ(picture.Size(), (PictureSize{600, 800}));

  std::uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDisk)) bytes += entry.file_size();
  EXPECT_LT(bytes, 1u << 20) << "well under 1 MB";
}

TEST(DemoDisk, MpvPlaysEveryMovieToItsEnd) {
  for (const auto& [file, audio] : {std::pair{"test-pattern.avi", 1},
                                    {"colour-bars.avi", 1},
                                    {"two-languages.avi", 1},
                                    {"two-languages.avi", 2}}) {
    SCOPED_TRACE(::testing::Message() << file << " audio " << audio);
    const CommandRun mpv =
        Shell("mpv --no-config --vo=null --ao=null --ao-null-untimed --untimed --aid=" +
              std::to_string(audio) + " " + ShellQuote(kDisk + "/" + file));
    EXPECT_EQ(mpv.status, 0) << mpv.out;
    EXPECT_NE(mpv.out.find("(End of file)"), std::string::npos) << mpv.out;
    EXPECT_NE(mpv.out.find("Video --vid=1 (mpeg4"), std::string::npos) << mpv.out;
    EXPECT_NE(mpv.out.find("(+) Audio --aid=" + std::to_string(audio)), std::string::npos)
        << mpv.out;
  }
}

// The second sample, samples/modern-disk: today's loose movie files, as on a USB stick.
TEST(ModernDisk, HoldsAMatroskaMovieWithTwoAudioStreamsAnMp4MovieAndACoverThatMpvPlays) {
  const std::string modern = QUORVEL_SOURCE_DIR "/samples/modern-disk";
  testing::TempTree tree;
  const CommandRun read = Shell("XDG_CONFIG_HOME=" + ShellQuote(tree.Path("config")) + " " +
                                ShellQuote(QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl") +
                                " read --json " + ShellQuote(modern));
  ASSERT_EQ(read.status, 0) << read.out;
  const nlohmann::json disk = nlohmann::json::parse(read.out);
  ASSERT_EQ(disk["movies"].size(), 2u);
  EXPECT_EQ(disk["movies"][0]["title"], "Two Languages");
  EXPECT_EQ(disk["movies"][0]["audioStreams"], 2);
  EXPECT_EQ(disk["movies"][1]["title"], "Colour Bars");
  EXPECT_EQ(disk["movies"][1]["audioStreams"], 1);
  for (const auto& movie : disk["movies"]) EXPECT_EQ(movie["typeName"], "Video");
  EXPECT_EQ(disk["picture"], modern + "/cover.jpg");
  for (const auto& [file, audio] :
       {std::pair{"Two Languages.mkv", 1}, {"Two Languages.mkv", 2}, {"Colour Bars.mp4", 1}}) {
    const CommandRun mpv =
        Shell("mpv --no-config --vo=null --ao=null --ao-null-untimed --untimed --aid=" +
              std::to_string(audio) + " " + ShellQuote(modern + "/" + file));
    EXPECT_EQ(mpv.status, 0) << mpv.out;
    EXPECT_NE(mpv.out.find("(End of file)"), std::string::npos) << mpv.out;
    EXPECT_NE(mpv.out.find("(+) Audio --aid=" + std::to_string(audio)), std::string::npos)
        << mpv.out;
  }
}

}  // namespace
}  // namespace quorvel

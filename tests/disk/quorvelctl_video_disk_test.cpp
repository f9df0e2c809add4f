// quorvelctl read and play on today's disks in real folders: a Blu-ray layout and a
// DVD-Video one built by hand, and today's movie files; the rows, the JSON, and the
// command lines composed for mpv and VLC (nothing is started).
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/shell_command.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::CommandRun;
using testing::RunShell;
using testing::ShellQuote;
using testing::TempTree;

CommandRun Quorvelctl(const TempTree& tree, const std::string& arguments) {
  return RunShell("XDG_CONFIG_HOME=" + ShellQuote(tree.Path("config")) +
                  " XDG_RUNTIME_DIR=" + ShellQuote(tree.Path("run")) + " " +
                  ShellQuote(QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl") + " " + arguments +
                  " </dev/null");
}

std::vector<std::string> DryRun(const TempTree& tree, const std::string& arguments) {
  const CommandRun run = Quorvelctl(tree, "play --dry-run " + arguments);
  EXPECT_EQ(run.status, 0) << arguments;
  if (run.status != 0) return {};
  return nlohmann::json::parse(run.out).get<std::vector<std::string>>();
}

TEST(QuorvelctlVideoDisks, BlurayAndDvdFoldersAndTodaysFilesAreReadAndComposedForTheirPlayers) {
  TempTree tree;
  tree.Folder("run");
  // A Blu-ray folder as a disk holds it: an index, a movie object, a playlist, a clip.
  const std::string bluray = tree.Folder("Avatar (2009)");
  tree.File("Avatar (2009)/BDMV/index.bdmv", "INDX0200");
  tree.File("Avatar (2009)/BDMV/MovieObject.bdmv", "MOBJ0200");
  tree.File("Avatar (2009)/BDMV/PLAYLIST/00000.mpls", "MPLS0200");
  tree.File("Avatar (2009)/BDMV/STREAM/00000.m2ts", std::string(192, 'G'));
  const std::string dvd = tree.Folder("dvd");
  tree.File("dvd/Video_TS/video_ts.ifo", "DVDVIDEO-VMG");
  const std::string files = tree.Folder("files");
  for (const char* name : {"two.mkv", "one.mp4"}) {
    std::filesystem::copy_file(std::string(QUORVEL_TEST_VIDEO_DIR) + "/audio" +
                                   (name[0] == 't' ? "2" : "1") + "." + std::string(name).substr(4),
                               tree.Path(std::string("files/") + name));
  }

  // The rows name the types; the JSON holds their numbers, names and streams.
  CommandRun run = Quorvelctl(tree, "read " + ShellQuote(bluray));
  ASSERT_EQ(run.status, 0);
  const std::string label = [&] {
    const auto json =
        nlohmann::json::parse(Quorvelctl(tree, "read --json " + ShellQuote(bluray)).out);
    return json["label"].get<std::string>();
  }();
  EXPECT_NE(run.out.find("Movie (Blu-ray)\t" + (label.empty() ? "Blu-ray Disc" : label) + "\n"),
            std::string::npos)
      << run.out;
  run = Quorvelctl(tree, "read --json " + ShellQuote(files));
  const auto json = nlohmann::json::parse(run.out);
  ASSERT_EQ(json["movies"].size(), 2u);
  EXPECT_EQ(json["movies"][0]["title"], "two");  // ".mkv" before ".mp4"
  EXPECT_EQ(json["movies"][0]["type"], 8);
  EXPECT_EQ(json["movies"][0]["typeName"], "Video");
  EXPECT_EQ(json["movies"][0]["audioStreams"], 2);
  EXPECT_EQ(json["movies"][1]["audioStreams"], 1);
  run = Quorvelctl(tree, "read " + ShellQuote(files));
  EXPECT_NE(run.out.find("Movie (Video)\tone\n"), std::string::npos) << run.out;

  // mpv's and VLC's command lines for the disks: "%f" is the folder (no drive here).
  ASSERT_EQ(Quorvelctl(tree, "players add --name mpv --path /usr/bin/mpv --playlist 2").status, 0);
  ASSERT_EQ(Quorvelctl(tree, "players add --name VLC --path /usr/bin/vlc --playlist 2").status, 0);
  ASSERT_EQ(Quorvelctl(tree,
                       "settings set 'Blu-ray Player=mpv' "
                       "'Blu-ray Command Line=--fs bd:// --bluray-device=%f' "
                       "'DVD Player=VLC' 'DVD Command Line=--fullscreen dvd://%f' "
                       "'Video Player=mpv' 'Video Command Line=--fs %f' "
                       "'DivX (Audio2) Player=mpv' 'DivX (Audio2) Command Line=--fs --aid=2 %f'")
                .status,
            0);
  EXPECT_EQ(
      DryRun(tree, ShellQuote(bluray)),
      (std::vector<std::string>{"/usr/bin/mpv", "--fs", "bd://", "--bluray-device=" + bluray}));
  EXPECT_EQ(DryRun(tree, ShellQuote(dvd)),
            (std::vector<std::string>{"/usr/bin/vlc", "--fullscreen", "dvd://" + dvd}));
  // "Play all" on a disk of one disk movie plays that movie, not a list.
  EXPECT_EQ(DryRun(tree, "--all " + ShellQuote(bluray)).back(), "--bluray-device=" + bluray);
  ASSERT_EQ(Quorvelctl(tree,
                       "settings set 'Blu-ray Player=VLC' "
                       "'Blu-ray Command Line=--fullscreen bluray://%f'")
                .status,
            0);
  EXPECT_EQ(DryRun(tree, ShellQuote(bluray)),
            (std::vector<std::string>{"/usr/bin/vlc", "--fullscreen", "bluray://" + bluray}));
  // A movie file with two streams plays its second through the "DivX (Audio2)" player.
  EXPECT_EQ(DryRun(tree, "--audio2 " + ShellQuote(files)),
            (std::vector<std::string>{"/usr/bin/mpv", "--fs", "--aid=2", files + "/two.mkv"}));
  EXPECT_EQ(DryRun(tree, "--movie 2 " + ShellQuote(files)),
            (std::vector<std::string>{"/usr/bin/mpv", "--fs", files + "/one.mp4"}));
  // The playlist of the files, for mpv.
  const std::vector<std::string> all = DryRun(tree, "--all " + ShellQuote(files));
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(std::filesystem::path(all.back()).filename(), "playlist.m3u8");
  const std::string list = [&] {
    std::ifstream in(all.back());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  EXPECT_EQ(list, "#EXTM3U\n#EXTINF:-1,two\n" + files + "/two.mkv\n#EXTINF:-1,one\n" + files +
                      "/one.mp4\n");
}

}  // namespace
}  // namespace quorvel

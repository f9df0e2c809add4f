#include "playback/player_choice.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_services.h"
#include "playback/playlist.h"
#include "support/fake_tree.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {
namespace {

using Args = std::vector<std::string>;

PlayerRecord Player(std::string cmdLine) {
  return PlayerRecord("Player", "/usr/bin/player", std::move(cmdLine), PlaylistType::NoPlaylist);
}

// The arguments a player gets for `template` and `file`.
Args ArgumentsFor(const std::string& cmdLine, const std::string& file) {
  return SplitArguments(BuildArguments(Player(cmdLine), file));
}

TEST(BuildArgumentsTest, KeepsTheTemplateTextForOrdinaryFiles) {
  const std::string file = R"(D:\film.avi)";
  EXPECT_EQ(BuildArguments(Player("%f"), file), R"("D:\film.avi")");
  EXPECT_EQ(BuildArguments(Player(R"(-fs "%f")"), file), R"(-fs "D:\film.avi")");
  EXPECT_EQ(BuildArguments(Player("%f %f"), file), R"("D:\film.avi" "D:\film.avi")");
  EXPECT_EQ(BuildArguments(Player("-fs"), file), "-fs");
  EXPECT_EQ(BuildArguments(Player(""), file), "");
  // One quoted "%f" makes every "%f" go in unquoted.
  EXPECT_EQ(BuildArguments(Player(R"("%f" %f)"), file), R"("D:\film.avi" D:\film.avi)");
  // "%F" is no placeholder; inserted text is not searched again.
  EXPECT_EQ(BuildArguments(Player("%F %f"), "100%f"), R"(%F "100%f")");
  // A VideoCD entry has no file.
  EXPECT_EQ(BuildArguments(Player("%f"), ""), R"("")");
  EXPECT_EQ(BuildArguments(Player(R"("%f")"), ""), R"("")");
  EXPECT_EQ(ArgumentsFor("-vcd %f", ""), (Args{"-vcd", ""}));
}

TEST(BuildArgumentsTest, AnyFileNameStaysOneArgumentEqualToItself) {
  const Args files = {
      "/m/plain.avi",       "/m/two  blanks.avi",
      "/m/quote\"d.avi",    "/m/ends in backslash\\",
      "/m/back\\\\\"slash", "/m/per%cent%f.avi",
      "/m/amp&er;sand.avi", "/m/new\nline.avi",
      "/m/tab\t.avi",       "/m/\x93quoted\x94 caf\xE9.avi",
      "\" --fullscreen \"", "",
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f);
    EXPECT_EQ(ArgumentsFor("%f", f), (Args{f}));
    EXPECT_EQ(ArgumentsFor(R"(-fs "%f")", f), (Args{"-fs", f}));
    EXPECT_EQ(ArgumentsFor("--playlist=%f --x", f), (Args{"--playlist=" + f, "--x"}));
    EXPECT_EQ(ArgumentsFor("%f %f", f), (Args{f, f}));
    EXPECT_EQ(ArgumentsFor(R"("%f" %f)", f), (Args{f, f}));
    EXPECT_EQ(ArgumentsFor("x%fy", f), (Args{"x" + f + "y"}));
    EXPECT_EQ(ArgumentsFor(R"(%f"q r")", f), (Args{f + "q r"}));
    EXPECT_EQ(ArgumentsFor(R"("-a %f" "b")", f), (Args{"-a " + f, "b"}));
    EXPECT_EQ(ArgumentsFor(R"(a\%f)", f), (Args{"a\\" + f}));
  }
}

class PlayerChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.Players = {
        {"BSPlayer", "/opt/bsplayer", "-bs %f", PlaylistType::BslPlaylist},
        {"Zoom Player", "/opt/zoom", "-zoom %f", PlaylistType::AsxPlaylist},
        {"Micro DVD Player", "/opt/mdvd", "-mdvd \"%f\"", PlaylistType::NoPlaylist},
        {"mpv", "/usr/bin/mpv", "own %f", PlaylistType::M3uPlaylist},
        {"none", "/usr/bin/none", "%f", PlaylistType::NoPlaylist},
    };
    settings.DivXPlayer = "mpv";
    settings.DivXCommandLine = "--divx %f";
    settings.MpegPlayer = "BSPlayer";
    settings.MpegCommandLine = "";
    settings.VcdPlayer = "Zoom Player";
    settings.VcdCommandLine = "-vcd %f";
    settings.SvcdPlayer = "nobody";
    settings.DivXAudio2Player = "mpv";
    settings.DivXAudio2CommandLine = "--aid=2 %f";
  }

  // The play commands' services: fakes, with the player starts and messages recorded.
  Services View() { return fake.View(); }

  Settings settings;
  FakeServices fake;
  RecordingProcesses& processes = fake.processes;
  RecordingMessages& messages = fake.messages;
  // The playlist base of "play all".
  std::string base = PlaylistBase(fake.privateFiles);
};

TEST_F(PlayerChoiceTest, ChoosesThePlayerAndTemplateByType) {
  struct Case {
    MovieType type;
    bool found;
    std::string name;
    std::string cmdLine;
  };
  const std::vector<Case> cases = {
      {MovieType::DivX, true, "mpv", "--divx %f"},
      {MovieType::Mpeg, true, "BSPlayer", ""},  // an empty template still replaces
      {MovieType::MicroDvd, true, "Micro DVD Player", "-mdvd \"%f\""},
      {MovieType::VideoCd, true, "Zoom Player", "-vcd %f"},
      {MovieType::SuperVideoCd, false, "", ""},  // names no configured player
      {MovieType::Unknown, false, "", ""},
      {MovieType::Dvd, false, "", ""},
      {static_cast<MovieType>(9), false, "", ""},
  };
  for (const auto& c : cases) {
    PlayerRecord out("untouched", "", "", PlaylistType::NoPlaylist);
    EXPECT_EQ(ChoosePlayer(settings, Movie(c.type, "t", "/m/f", testing::NoFiles()), out), c.found);
    EXPECT_EQ(out.Name, c.found ? c.name : "untouched");
    if (c.found) {
      EXPECT_EQ(out.CmdLine, c.cmdLine);
    }
  }
  settings.DivXPlayer = "bsplayer";  // names match with the same letter case only
  PlayerRecord out;
  EXPECT_FALSE(
      ChoosePlayer(settings, Movie(MovieType::DivX, "t", "/m/f", testing::NoFiles()), out));
}

TEST_F(PlayerChoiceTest, PlayCommandsStartTheChosenPlayer) {
  EXPECT_TRUE(PlayMovie(View(), settings,
                        Movie(MovieType::DivX, "Film", "/m/my film.avi", testing::NoFiles())));
  EXPECT_TRUE(PlayMovie(View(), settings,
                        Movie(MovieType::MicroDvd, "Mdvd", "/m/mdvd.mvd", testing::NoFiles())));
  // The second audio player plays any type.
  EXPECT_TRUE(PlayMovieSecondAudio(View(), settings,
                                   Movie(MovieType::Mpeg, "M", "/m/a.mpg", testing::NoFiles())));
  EXPECT_FALSE(
      PlayMovie(View(), settings, Movie(MovieType::Unknown, "U", "/m/u.txt", testing::NoFiles())));
  EXPECT_FALSE(
      PlayMovie(View(), settings, Movie(MovieType::SuperVideoCd, "S", "", testing::NoFiles())));
  EXPECT_EQ(processes.started,
            (Args{R"("/usr/bin/mpv" --divx "/m/my film.avi")", R"("/opt/mdvd" -mdvd "/m/mdvd.mvd")",
                  R"("/usr/bin/mpv" --aid=2 "/m/a.mpg")"}));
  settings.DivXAudio2Player = "";
  EXPECT_FALSE(PlayMovieSecondAudio(View(), settings,
                                    Movie(MovieType::DivX, "D", "/m/d.avi", testing::NoFiles())));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PlayerChoiceTest, APlayerThatCannotStartIsReportedAndNothingCountsAsPlayed) {
  processes.startResult = {false, "No such file or directory", {}};
  EXPECT_FALSE(
      PlayMovie(View(), settings, Movie(MovieType::DivX, "Film", "/m/x.avi", testing::NoFiles())));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Cannot start /usr/bin/mpv: No such file or directory.");

  // A path with a double quote is not even tried: it would start another program.
  processes.startResult = {true, {}, {}};
  for (auto& player : settings.Players) {
    if (player.Name == "mpv") player.AppPath = "/usr/bin/mpv\" \"--x";
  }
  DiskInfo disk;
  disk.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
  EXPECT_FALSE(PlayAllMovies(View(), settings, disk));
  EXPECT_FALSE(PlayMovieSecondAudio(View(), settings,
                                    Movie(MovieType::DivX, "D", "/m/d.avi", testing::NoFiles())));
  ASSERT_EQ(messages.messages.size(), 3u);
  EXPECT_EQ(messages.messages[1].text,
            "Cannot start /usr/bin/mpv\" \"--x: its path holds a double quote.");
  EXPECT_EQ(processes.started.size(), 1u) << "only the first, failing start was tried";
}

TEST_F(PlayerChoiceTest, PlayAllWritesThePlaylistOfTheFirstMoviesPlayerOrAFallback) {
  DiskInfo disk;
  EXPECT_FALSE(PlayAllMovies(View(), settings, disk));  // no movies

  disk.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
  disk.AddMovie(MovieType::DivX, "B", "/m/b.avi", testing::NoFiles());
  EXPECT_TRUE(PlayAllMovies(View(), settings, disk));
  const std::string m3u = base + ".m3u8";
  ASSERT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(processes.started.back(), "\"/usr/bin/mpv\" --divx \"" + m3u + "\"");
  EXPECT_EQ(fake.privateFiles.files.count(m3u), 1u);

  // The first movie's player takes no playlist: nothing, even with BSPlayer there.
  settings.DivXPlayer = "none";
  EXPECT_FALSE(PlayAllMovies(View(), settings, disk));
  EXPECT_EQ(processes.started.size(), 1u);

  // No player for the first movie: BSPlayer, then Zoom Player, with their own lines.
  DiskInfo unknownFirst;
  unknownFirst.AddMovie(MovieType::Unknown, "U", "/m/u.bin", testing::NoFiles());
  unknownFirst.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
  EXPECT_TRUE(PlayAllMovies(View(), settings, unknownFirst));
  EXPECT_EQ(processes.started.back(), "\"/opt/bsplayer\" -bs \"" + base + ".bsl" + "\"");
  settings.Players.remove_if([](const PlayerRecord& p) { return p.Name == "BSPlayer"; });
  EXPECT_TRUE(PlayAllMovies(View(), settings, unknownFirst));
  EXPECT_EQ(processes.started.back(), "\"/opt/zoom\" -zoom \"" + base + ".asx" + "\"");
  settings.Players.remove_if([](const PlayerRecord& p) { return p.Name == "Zoom Player"; });
  EXPECT_FALSE(PlayAllMovies(View(), settings, unknownFirst));
  EXPECT_EQ(processes.started.size(), 3u);

  // A playlist that cannot be written is reported and nothing starts.
  settings.DivXPlayer = "mpv";
  fake.privateFiles.refuseWrites = true;
  EXPECT_FALSE(PlayAllMovies(View(), settings, disk));
  EXPECT_EQ(processes.started.size(), 3u);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "The playlist file " + m3u + " cannot be written.");
}

}  // namespace
}  // namespace quorvel

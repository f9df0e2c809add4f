// quorvelctl play with a real player: mpv from Debian, with video and audio output
// switched off, plays AVI files made by ffmpeg for the test.

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "app/settings.h"
#include "platform/fake/recording_messages.h"
#include "platform/linux/file_registry.h"
#include "process_test_support.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

class MpvPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk = folder.path() / "disk";
    fs::create_directories(disk);
    setenv("XDG_CONFIG_HOME", (folder.path() / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder.path() / "run").c_str(), 1);
    fs::create_directories(folder.path() / "run");
    // Three short AVI files, one under a name that needs escaping everywhere.
    names = {"1 first.avi", "2 \"quoted\" & 100%f.avi", "3 third.avi"};
    for (const auto& name : names) {
      testing::RunResult made = testing::RunProgram(
          {"/usr/bin/ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i",
           "testsrc=duration=1:size=64x48:rate=10", "-c:v", "mpeg4", (disk / name).string()},
          folder.path());
      ASSERT_EQ(made.status, 0) << made.err;
    }
    // mpv through a wrapper that keeps its exit status.
    wrapper = folder.path() / "mpv-wrapper";
    std::ofstream(wrapper)
        << "#!/bin/sh\n/usr/bin/mpv \"$@\" > \"$MPV_OUT\"\necho $? > \"$MPV_STATUS\"\n";
    fs::permissions(wrapper, fs::perms::owner_all);
    status = folder.path() / "mpv.status";
    out = folder.path() / "mpv.out";
    setenv("MPV_STATUS", status.c_str(), 1);
    setenv("MPV_OUT", out.c_str(), 1);
  }

  void Configure(const std::string& cmdLine, PlaylistType playlist) {
    RecordingMessages messages;
    auto registry = OpenUserRegistry(messages);
    // Loaded first, as the program does: a fresh store gets its "Players" key here.
    Settings settings;
    settings.Load(*registry);
    settings.Players = {{"mpv", wrapper.string(), cmdLine, playlist}};
    settings.DivXPlayer = "mpv";
    settings.DivXCommandLine = cmdLine;
    ASSERT_TRUE(settings.Save(*registry));
    ASSERT_TRUE(registry->Flush());
  }

  testing::RunResult Quorvelctl(std::vector<std::string> args) {
    args.insert(args.begin(), testing::Quorvelctl());
    return testing::RunProgram(args, folder.path());
  }

  // Waits for mpv to end; its exit status.
  std::string MpvStatus() {
    EXPECT_TRUE(testing::WaitFor([&] { return fs::exists(status) && fs::file_size(status) > 0; },
                                 std::chrono::seconds(60)))
        << "mpv did not end";
    std::string text = testing::ReadFileText(status);
    fs::remove(status);
    return text;
  }

  // Every movie file of the test disk, in disk order.
  std::vector<std::string> AllMoviesOfDisk() const {
    std::vector<std::string> files;
    for (const auto& name : names) files.push_back((disk / name).string());
    return files;
  }

  // The movie files mpv started playing, in order, as it prints them on its standard
  // output when each one starts. (Its log file is written behind by a thread of its own
  // and once lacked the last file's line on a busy machine.)
  std::vector<std::string> Played() {
    std::vector<std::string> played;
    std::string text = testing::ReadFileText(out);
    const std::string marker = kPlayingMarker;
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
      std::size_t start = at + marker.size();
      played.push_back(text.substr(start, text.find('\n', start) - start));
    }
    fs::remove(out);
    return played;
  }

  std::string Options() const {
    return "--no-config --vo=null --ao=null --end=0.3 \"--term-playing-msg=" +
           std::string(kPlayingMarker) + "${path}\"";
  }
  static constexpr const char* kPlayingMarker = "QUORVEL-PLAYING ";

  TestFolder folder;
  fs::path disk, wrapper, status, out;
  std::vector<std::string> names;
};

TEST_F(MpvPlayTest, PlaysOneMovieWhateverItsName) {
  Configure(Options() + " %f", PlaylistType::M3uPlaylist);
  testing::RunResult dry = Quorvelctl({"play", "--dry-run", "--movie", "2", disk.string()});
  ASSERT_EQ(dry.status, 0) << dry.err;
  const auto args = nlohmann::json::parse(dry.out).get<std::vector<std::string>>();
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args.front(), wrapper.string());
  EXPECT_EQ(args.back(), (disk / names[1]).string());
  EXPECT_FALSE(fs::exists(status)) << "a dry run started the player";

  testing::RunResult run = Quorvelctl({"play", "--movie", "2", disk.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MpvStatus(), "0\n");
  EXPECT_EQ(Played(), std::vector<std::string>{(disk / names[1]).string()});
}

TEST_F(MpvPlayTest, PlaysTheWholeDiskFromAnM3uList) {
  Configure(Options() + " %f", PlaylistType::M3uPlaylist);
  testing::RunResult run = Quorvelctl({"play", "--all", disk.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MpvStatus(), "0\n");
  EXPECT_EQ(Played(), AllMoviesOfDisk());
  EXPECT_TRUE(fs::exists(folder.path() / "run" / "quorvel" / "playlist.m3u8"));
}

TEST_F(MpvPlayTest, PlaysTheWholeDiskFromABsplayerList) {
  Configure(Options() + " --playlist=%f", PlaylistType::BslPlaylist);
  testing::RunResult run = Quorvelctl({"play", "--all", disk.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MpvStatus(), "0\n");
  EXPECT_EQ(Played(), AllMoviesOfDisk());
}

// A disk given relative to the current folder, whose file names try to add entries: one
// name holds a line break followed by a file that lies where the player would look for
// a relative entry, one starts with the mark of an m3u comment. mpv plays exactly the
// files of the disk whose names fit a line, in disk order, and nothing else.
TEST_F(MpvPlayTest, PlaysEveryListableFileOfARelativeDiskPathAndNothingPlanted) {
  const fs::path lists = folder.path() / "run" / "quorvel";
  fs::create_directories(lists);
  fs::copy_file(disk / names[0], lists / "planted.avi");
  fs::copy_file(disk / names[0], disk / "4 four\nplanted.avi");
  fs::copy_file(disk / names[0], disk / "#0 hash.avi");
  std::vector<std::string> expected = {(disk / "#0 hash.avi").string()};
  for (const auto& file : AllMoviesOfDisk()) expected.push_back(file);

  const fs::path before = fs::current_path();
  fs::current_path(folder.path());
  for (const auto& [cmdLine, type] :
       {std::pair{Options() + " %f", PlaylistType::M3uPlaylist},
        std::pair{Options() + " --playlist=%f", PlaylistType::BslPlaylist}}) {
    Configure(cmdLine, type);
    testing::RunResult run = Quorvelctl({"play", "--all", "disk"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(MpvStatus(), "0\n");
    EXPECT_EQ(Played(), expected);
  }
  fs::current_path(before);
}

TEST_F(MpvPlayTest, SaysWhyNothingCouldBePlayed) {
  Configure(Options() + " %f", PlaylistType::NoPlaylist);
  testing::RunResult all = Quorvelctl({"play", "--all", disk.string()});
  EXPECT_EQ(all.status, 1);
  EXPECT_FALSE(all.err.empty());

  testing::RunResult beyond = Quorvelctl({"play", "--movie", "4", disk.string()});
  EXPECT_EQ(beyond.status, 1);
  EXPECT_NE(beyond.err.find("no movie 4"), std::string::npos) << beyond.err;

  testing::RunResult empty = Quorvelctl({"play", (folder.path() / "run").string()});
  EXPECT_EQ(empty.status, 1);

  fs::permissions(wrapper, fs::perms::owner_read | fs::perms::owner_write);
  testing::RunResult notExecutable = Quorvelctl({"play", disk.string()});
  EXPECT_EQ(notExecutable.status, 1);
  EXPECT_NE(notExecutable.err.find("Cannot start " + wrapper.string()), std::string::npos)
      << notExecutable.err;
  EXPECT_FALSE(fs::exists(status));

  // A player path with a double quote: the start command line would run the wrapper
  // with "x" before the arguments, so another program than the player. Nothing starts.
  fs::permissions(wrapper, fs::perms::owner_all);
  const std::string quoted = wrapper.string() + "\" \"x";
  {
    RecordingMessages messages;
    auto registry = OpenUserRegistry(messages);
    Settings settings;
    settings.Load(*registry);
    settings.Players.front().AppPath = quoted;
    ASSERT_TRUE(settings.Save(*registry));
    ASSERT_TRUE(registry->Flush());
  }
  testing::RunResult withQuote = Quorvelctl({"play", disk.string()});
  EXPECT_EQ(withQuote.status, 1);
  EXPECT_EQ(withQuote.err, "Cannot start " + quoted + ": its path holds a double quote.\n");
  EXPECT_EQ(withQuote.out, "");
}

}  // namespace
}  // namespace quorvel

// The private files of the Linux backend: the playlist folder in the runtime or cache
// folder, and playlists replaced in one step without ever writing through a link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/fake/recording_messages.h"
#include "platform/linux/linux_private_files.h"
#include "playback/playlist.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PrivateFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("quorvel-playlist-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    base = (folder / "playlist").string();
    disk.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Write(const DiskInfo& movies, const std::string& baseName, PlaylistType type) {
    return WritePlaylist(movies, baseName, type, files, messages);
  }

  fs::path folder;
  std::string base;
  DiskInfo disk;
  LinuxPrivateFiles files;
  RecordingMessages messages;
};

TEST_F(PrivateFilesTest, APlaylistIsReadableAndWritableByTheUserAlone) {
  ASSERT_EQ(Write(disk, base, PlaylistType::M3uPlaylist), base + ".m3u8");
  EXPECT_EQ(ReadAll(base + ".m3u8"), "#EXTM3U\n#EXTINF:-1,A\n/m/a.avi\n");
  EXPECT_EQ((fs::status(base + ".m3u8").permissions() & fs::perms::all),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PrivateFilesTest, ReplacesTheOldFileAndNeverWritesThroughALink) {
  std::ofstream(base + ".bsl") << std::string(1000, 'x');
  DiskInfo one;
  one.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
  ASSERT_FALSE(Write(one, base, PlaylistType::BslPlaylist).empty());
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/a.avi\r\n");

  // A link planted where the list goes is replaced; its target stays as it was.
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "keep";
  fs::create_symlink(victim, base + ".asx");
  ASSERT_FALSE(Write(one, base, PlaylistType::AsxPlaylist).empty());
  EXPECT_EQ(ReadAll(victim), "keep");
  EXPECT_FALSE(fs::is_symlink(base + ".asx"));
  // Nothing but the lists and the victim is left behind (no temporary files).
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

TEST_F(PrivateFilesTest, AFileThatCannotBeWrittenIsReportedByName) {
  const std::string missing = (folder / "missing" / "playlist").string();
  EXPECT_EQ(Write(disk, missing, PlaylistType::BslPlaylist), "");
  // A folder reached through a link is refused too.
  fs::create_directory(folder / "real");
  fs::create_directory_symlink(folder / "real", folder / "link");
  const std::string linked = (folder / "link" / "playlist").string();
  EXPECT_EQ(Write(disk, linked, PlaylistType::M3uPlaylist), "");
  EXPECT_TRUE(fs::is_empty(folder / "real"));
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_NE(messages.messages[0].text.find(missing + ".bsl"), std::string::npos);
  EXPECT_NE(messages.messages[1].text.find(linked + ".m3u8"), std::string::npos);
}

TEST_F(PrivateFilesTest, DefaultBaseIsInAPrivateRuntimeOrCacheFolder) {
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  EXPECT_EQ(PlaylistBase(files), (folder / "quorvel" / "playlist").string());
  EXPECT_EQ(fs::status(folder / "quorvel").permissions() & fs::perms::all, fs::perms::owner_all);
  // An existing folder open to others is made private.
  fs::permissions(folder / "quorvel", fs::perms::all);
  PlaylistBase(files);
  EXPECT_EQ(fs::status(folder / "quorvel").permissions() & fs::perms::all, fs::perms::owner_all);

  unsetenv("XDG_RUNTIME_DIR");
  setenv("XDG_CACHE_HOME", (folder / "cache" / "deep").c_str(), 1);
  EXPECT_EQ(PlaylistBase(files), (folder / "cache" / "deep" / "quorvel" / "playlist").string());
  EXPECT_TRUE(fs::is_directory(folder / "cache" / "deep" / "quorvel"));
}

}  // namespace
}  // namespace quorvel

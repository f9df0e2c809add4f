#include "playback/playlist.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/recording_messages.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PlaylistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("quorvel-playlist-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    base = (folder / "playlist").string();
    disk.AddMovie(MovieType::DivX, "A", "/m/a.avi");
    disk.AddMovie(MovieType::DivX, "Caf\xE9 & \"B\"", "/m/b&<\"x\">%s%d.avi");
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
  std::string base;
  DiskInfo disk;
  RecordingMessages messages;
};

TEST_F(PlaylistTest, WritesEachFormatByteForByte) {
  EXPECT_EQ(WritePlaylist(disk, base, PlaylistType::BslPlaylist, messages), base + ".bsl");
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/a.avi\r\n/m/b&<\"x\">%s%d.avi\r\n");

  EXPECT_EQ(WritePlaylist(disk, base, PlaylistType::AsxPlaylist, messages), base + ".asx");
  EXPECT_EQ(ReadAll(base + ".asx"),
            "<ASX version=\"3.0\">\r\n"
            " <ENTRY><REF href=\"/m/a.avi\" /></ENTRY>\r\n"
            " <ENTRY><REF href=\"/m/b&amp;&lt;&quot;x&quot;&gt;%s%d.avi\" /></ENTRY>\r\n"
            "</ASX>\r\n");

  EXPECT_EQ(WritePlaylist(disk, base, PlaylistType::M3uPlaylist, messages), base + ".m3u8");
  EXPECT_EQ(ReadAll(base + ".m3u8"),
            "#EXTM3U\n#EXTINF:-1,A\n/m/a.avi\n"
            "#EXTINF:-1,Caf\xC3\xA9 & \"B\"\n/m/b&<\"x\">%s%d.avi\n");
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ((fs::status(base + ".m3u8").permissions() & fs::perms::all),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PlaylistTest, M3uTitlesBecomeUtf8AndOneLine) {
  DiskInfo titles;
  titles.AddMovie(MovieType::DivX, "\x80 \x93q\x94 \x81", "/m/\xE9.avi");  // Windows-1252
  titles.AddMovie(MovieType::DivX, "d\xC3\xA9j\xC3\xA0", "/m/2.avi");      // already UTF-8
  titles.AddMovie(MovieType::DivX, "two\r\nlines", "/m/3.avi");
  ASSERT_FALSE(WritePlaylist(titles, base, PlaylistType::M3uPlaylist, messages).empty());
  EXPECT_EQ(ReadAll(base + ".m3u8"),
            "#EXTM3U\n"
            "#EXTINF:-1,\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81\n/m/\xE9.avi\n"
            "#EXTINF:-1,d\xC3\xA9j\xC3\xA0\n/m/2.avi\n"
            "#EXTINF:-1,two  lines\n/m/3.avi\n");
}

// A movie disk whose file names try to add entries of their own: each name with a line
// break would become two entries, the second chosen by whoever made the disk. The disk
// is given relative to the current folder, as `quorvelctl play --all disk` gives it.
TEST_F(PlaylistTest, NoFileNameAddsSplitsOrChangesAnEntryAndEntriesAreAbsolute) {
  const std::vector<std::string> names = {"1 first.avi", "2 two\nplanted.avi",
                                          "3 three\r\nC:\\planted.avi", "4 four\rfive.avi",
                                          "#5 hash.avi"};
  const fs::path diskFolder = folder / "disk";
  fs::create_directories(diskFolder);
  DiskInfo hostile;
  for (const auto& name : names) {
    std::ofstream(diskFolder / name) << "movie";
    hostile.AddMovie(MovieType::DivX, name, "disk/" + name);
  }
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  const std::string bsl = WritePlaylist(hostile, base, PlaylistType::BslPlaylist, messages);
  const std::string asx = WritePlaylist(hostile, base, PlaylistType::AsxPlaylist, messages);
  const std::string m3u = WritePlaylist(hostile, base, PlaylistType::M3uPlaylist, messages);
  fs::current_path(before);
  const std::string at = diskFolder.string() + "/";

  // Line-based lists leave out the names with a line end and keep the rest, each entry
  // the absolute path of a real file.
  ASSERT_EQ(bsl, base + ".bsl");
  EXPECT_EQ(ReadAll(bsl), at + "1 first.avi\r\n" + at + "#5 hash.avi\r\n");
  ASSERT_EQ(m3u, base + ".m3u8");
  EXPECT_EQ(ReadAll(m3u), "#EXTM3U\n#EXTINF:-1,1 first.avi\n" + at +
                              "1 first.avi\n#EXTINF:-1,#5 hash.avi\n" + at + "#5 hash.avi\n");
  // ASX keeps every name: a line end stands as a character reference, which an XML
  // reader gives back as it is (a literal one it would turn into a blank).
  ASSERT_EQ(asx, base + ".asx");
  EXPECT_EQ(ReadAll(asx),
            "<ASX version=\"3.0\">\r\n"
            " <ENTRY><REF href=\"" +
                at +
                "1 first.avi\" /></ENTRY>\r\n"
                " <ENTRY><REF href=\"" +
                at +
                "2 two&#10;planted.avi\" /></ENTRY>\r\n"
                " <ENTRY><REF href=\"" +
                at +
                "3 three&#13;&#10;C:\\planted.avi\" /></ENTRY>\r\n"
                " <ENTRY><REF href=\"" +
                at +
                "4 four&#13;five.avi\" /></ENTRY>\r\n"
                " <ENTRY><REF href=\"" +
                at +
                "#5 hash.avi\" /></ENTRY>\r\n"
                "</ASX>\r\n");
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PlaylistTest, PathsAReaderWouldCutOrTrimAreLeftOutAndAnEmptyListIsNotWritten) {
  DiskInfo edges;
  edges.AddMovie(MovieType::DivX, "nul", std::string("/m/a\0/evil.avi", 14));
  edges.AddMovie(MovieType::DivX, "trailing blank", "/m/b.avi ");
  edges.AddMovie(MovieType::DivX, "trailing tab", "/m/c.avi\t");
  edges.AddMovie(MovieType::DivX, "control", "/m/\x1b[2Jd.avi");
  edges.AddMovie(MovieType::VideoCd, "no file", "");
  ASSERT_FALSE(WritePlaylist(edges, base, PlaylistType::BslPlaylist, messages).empty());
  // The escape character is harmless on a line; only the empty entry of the VideoCD
  // movie and that one are written.
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/\x1b[2Jd.avi\r\n\r\n");
  ASSERT_FALSE(WritePlaylist(edges, base, PlaylistType::AsxPlaylist, messages).empty());
  // XML keeps blanks in attribute values and takes a tab back from its reference, but
  // cannot carry NUL or the escape character at all.
  EXPECT_EQ(ReadAll(base + ".asx"),
            "<ASX version=\"3.0\">\r\n"
            " <ENTRY><REF href=\"/m/b.avi \" /></ENTRY>\r\n"
            " <ENTRY><REF href=\"/m/c.avi&#9;\" /></ENTRY>\r\n"
            " <ENTRY><REF href=\"\" /></ENTRY>\r\n"
            "</ASX>\r\n");
  EXPECT_TRUE(messages.messages.empty());

  // Nothing left to play: no list, and the user is told.
  DiskInfo nothing;
  nothing.AddMovie(MovieType::DivX, "x", "/m/x\n.avi");
  EXPECT_EQ(WritePlaylist(nothing, base, PlaylistType::M3uPlaylist, messages), "");
  EXPECT_FALSE(fs::exists(base + ".m3u8"));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_NE(messages.messages[0].text.find(base + ".m3u8"), std::string::npos);
}

TEST_F(PlaylistTest, TypesWithoutFormatAndEmptyDisksWriteNothing) {
  for (int type : {-1, 3, 1000}) {
    EXPECT_EQ(WritePlaylist(disk, base, static_cast<PlaylistType>(type), messages), "");
  }
  EXPECT_EQ(WritePlaylist(DiskInfo(), base, PlaylistType::BslPlaylist, messages), "");
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PlaylistTest, ReplacesTheOldFileAndNeverWritesThroughALink) {
  std::ofstream(base + ".bsl") << std::string(1000, 'x');
  DiskInfo one;
  one.AddMovie(MovieType::DivX, "A", "/m/a.avi");
  ASSERT_FALSE(WritePlaylist(one, base, PlaylistType::BslPlaylist, messages).empty());
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/a.avi\r\n");

  // A link planted where the list goes is replaced; its target stays as it was.
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "keep";
  fs::create_symlink(victim, base + ".asx");
  ASSERT_FALSE(WritePlaylist(one, base, PlaylistType::AsxPlaylist, messages).empty());
  EXPECT_EQ(ReadAll(victim), "keep");
  EXPECT_FALSE(fs::is_symlink(base + ".asx"));
  // Nothing but the lists and the victim is left behind (no temporary files).
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

TEST_F(PlaylistTest, AFileThatCannotBeWrittenIsReportedByName) {
  const std::string missing = (folder / "missing" / "playlist").string();
  EXPECT_EQ(WritePlaylist(disk, missing, PlaylistType::BslPlaylist, messages), "");
  // A folder reached through a link is refused too.
  fs::create_directory(folder / "real");
  fs::create_directory_symlink(folder / "real", folder / "link");
  const std::string linked = (folder / "link" / "playlist").string();
  EXPECT_EQ(WritePlaylist(disk, linked, PlaylistType::M3uPlaylist, messages), "");
  EXPECT_TRUE(fs::is_empty(folder / "real"));
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_NE(messages.messages[0].text.find(missing + ".bsl"), std::string::npos);
  EXPECT_NE(messages.messages[1].text.find(linked + ".m3u8"), std::string::npos);
}

TEST_F(PlaylistTest, DefaultBaseIsInAPrivateRuntimeOrCacheFolder) {
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  EXPECT_EQ(DefaultPlaylistBase(), (folder / "quorvel" / "playlist").string());
  EXPECT_EQ(fs::status(folder / "quorvel").permissions() & fs::perms::all, fs::perms::owner_all);
  // An existing folder open to others is made private.
  fs::permissions(folder / "quorvel", fs::perms::all);
  DefaultPlaylistBase();
  EXPECT_EQ(fs::status(folder / "quorvel").permissions() & fs::perms::all, fs::perms::owner_all);

  unsetenv("XDG_RUNTIME_DIR");
  setenv("XDG_CACHE_HOME", (folder / "cache" / "deep").c_str(), 1);
  EXPECT_EQ(DefaultPlaylistBase(), (folder / "cache" / "deep" / "quorvel" / "playlist").string());
  EXPECT_TRUE(fs::is_directory(folder / "cache" / "deep" / "quorvel"));
}

}  // namespace
}  // namespace quorvel

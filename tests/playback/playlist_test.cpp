// The playlist formats, written through the fake private files.
#include "playback/playlist.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fake/fake_private_files.h"
#include "platform/fake/recording_messages.h"
#include "platform/native_path.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

class PlaylistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk.AddMovie(MovieType::DivX, "A", "/m/a.avi", testing::NoFiles());
    disk.AddMovie(MovieType::DivX, "Caf\xE9 & \"B\"", "/m/b&<\"x\">%s%d.avi", testing::NoFiles());
  }

  // The bytes of the list written at `path`; "" when none was.
  std::string ReadAll(const std::string& path) const {
    const auto it = files.files.find(path);
    return it == files.files.end() ? std::string() : it->second;
  }
  std::string Write(const DiskInfo& movies, PlaylistType type) {
    return WritePlaylist(movies, base, type, files, messages);
  }

  FakePrivateFiles files;
  std::string base = PlaylistBase(files);
  DiskInfo disk;
  RecordingMessages messages;
};

TEST_F(PlaylistTest, WritesEachFormatByteForByte) {
  EXPECT_EQ(Write(disk, PlaylistType::BslPlaylist), base + ".bsl");
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/a.avi\r\n/m/b&<\"x\">%s%d.avi\r\n");

  EXPECT_EQ(Write(disk, PlaylistType::AsxPlaylist), base + ".asx");
  EXPECT_EQ(ReadAll(base + ".asx"),
            "<ASX version=\"3.0\">\r\n"
            " <ENTRY><REF href=\"/m/a.avi\" /></ENTRY>\r\n"
            " <ENTRY><REF href=\"/m/b&amp;&lt;&quot;x&quot;&gt;%s%d.avi\" /></ENTRY>\r\n"
            "</ASX>\r\n");

  EXPECT_EQ(Write(disk, PlaylistType::M3uPlaylist), base + ".m3u8");
  EXPECT_EQ(ReadAll(base + ".m3u8"),
            "#EXTM3U\n#EXTINF:-1,A\n/m/a.avi\n"
            "#EXTINF:-1,Caf\xC3\xA9 & \"B\"\n/m/b&<\"x\">%s%d.avi\n");
  EXPECT_TRUE(messages.messages.empty());
  // One file of each format, replaced in one step each.
  EXPECT_EQ(files.files.size(), 3u);
  EXPECT_EQ(files.replaceCalls, 3);
}

TEST_F(PlaylistTest, M3uTitlesBecomeUtf8AndOneLine) {
  DiskInfo titles;
  titles.AddMovie(MovieType::DivX, "\x80 \x93q\x94 \x81", "/m/\xE9.avi",
                  testing::NoFiles());  // Windows-1252
  titles.AddMovie(MovieType::DivX, "d\xC3\xA9j\xC3\xA0", "/m/2.avi",
                  testing::NoFiles());  // already UTF-8
  titles.AddMovie(MovieType::DivX, "two\r\nlines", "/m/3.avi", testing::NoFiles());
  ASSERT_FALSE(Write(titles, PlaylistType::M3uPlaylist).empty());
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
  DiskInfo hostile;
  for (const auto& name : names)
    hostile.AddMovie(MovieType::DivX, name, "disk/" + name, testing::NoFiles());
  const std::string at = JoinNativePath(JoinNativePath(fs::current_path().string(), "disk"), "");
  const std::string bsl = Write(hostile, PlaylistType::BslPlaylist);
  const std::string asx = Write(hostile, PlaylistType::AsxPlaylist);
  const std::string m3u = Write(hostile, PlaylistType::M3uPlaylist);

  // Line-based lists leave out the names with a line end and keep the rest, each entry
  // an absolute path.
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
  edges.AddMovie(MovieType::DivX, "nul", std::string("/m/a\0/evil.avi", 14), testing::NoFiles());
  edges.AddMovie(MovieType::DivX, "trailing blank", "/m/b.avi ", testing::NoFiles());
  edges.AddMovie(MovieType::DivX, "trailing tab", "/m/c.avi\t", testing::NoFiles());
  edges.AddMovie(MovieType::DivX, "control", "/m/\x1b[2Jd.avi", testing::NoFiles());
  edges.AddMovie(MovieType::VideoCd, "no file", "", testing::NoFiles());
  ASSERT_FALSE(Write(edges, PlaylistType::BslPlaylist).empty());
  // The escape character is harmless on a line; only the empty entry of the VideoCD
  // movie and that one are written.
  EXPECT_EQ(ReadAll(base + ".bsl"), "/m/\x1b[2Jd.avi\r\n\r\n");
  ASSERT_FALSE(Write(edges, PlaylistType::AsxPlaylist).empty());
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
  nothing.AddMovie(MovieType::DivX, "x", "/m/x\n.avi", testing::NoFiles());
  EXPECT_EQ(Write(nothing, PlaylistType::M3uPlaylist), "");
  EXPECT_EQ(files.files.count(base + ".m3u8"), 0u);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_NE(messages.messages[0].text.find(base + ".m3u8"), std::string::npos);
}

TEST_F(PlaylistTest, TypesWithoutFormatAndEmptyDisksWriteNothing) {
  for (int type : {-1, 3, 1000}) {
    EXPECT_EQ(Write(disk, static_cast<PlaylistType>(type)), "");
  }
  EXPECT_EQ(Write(DiskInfo(), PlaylistType::BslPlaylist), "");
  EXPECT_EQ(files.replaceCalls, 0);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PlaylistTest, AFileThatCannotBeWrittenIsReportedByName) {
  files.refuseWrites = true;
  EXPECT_EQ(Write(disk, PlaylistType::BslPlaylist), "");
  EXPECT_EQ(Write(disk, PlaylistType::M3uPlaylist), "");
  EXPECT_TRUE(files.files.empty());
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[0].text, "The playlist file " + base + ".bsl cannot be written.");
  EXPECT_EQ(messages.messages[1].text, "The playlist file " + base + ".m3u8 cannot be written.");
}

}  // namespace
}  // namespace quorvel

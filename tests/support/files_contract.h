#pragma once
// What every files service promises (platform/files.h), written once and run against
// the platform's own service (tests/platform/<backend>/) and the fake one (tests/fakes/),
// so that the fake the other tests rely on behaves as the real one does.
//
// `Tree` makes the entries: Root(), Path(relative), File(relative, bytes),
// SparseFile(relative, size) and Folder(relative), with '/' between the components of
// `relative` (testing::TempTree, testing::FakeTree).

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/files.h"

namespace quorvel::testing {

inline std::vector<std::string> Lines(Files& files, const std::string& path) {
  std::vector<std::string> lines;
  EXPECT_TRUE(files.ReadTextLines(path, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  }));
  return lines;
}

template <typename Tree>
void ExpectListingsIgnoreLetterCase(Tree& tree, Files& files) {
  tree.Folder("MpegAV");
  tree.File("Zeta.AVI", "z");
  tree.File("alpha.avi", "a");
  tree.File("Beta.aVi", "b");
  tree.File("movie.avi2", "");
  tree.File("film.mpeg", "");
  tree.File("archive.tar.avi", "");
  tree.Folder("folder.avi");

  EXPECT_TRUE(files.EntryExists(tree.Root(), "MPEGAV"));
  EXPECT_TRUE(files.EntryExists(tree.Root(), "mpegav"));
  EXPECT_TRUE(files.EntryExists(tree.Root(), "ZETA.avi"));
  EXPECT_FALSE(files.EntryExists(tree.Root(), "MPEG2"));
  EXPECT_FALSE(files.EntryExists(tree.Root(), ""));
  EXPECT_FALSE(files.EntryExists(tree.Path("missing"), "x"));

  const std::vector<Files::Entry> avi = files.ListByExtension(tree.Root(), "avi");
  std::vector<std::string> names;
  for (const auto& entry : avi) names.push_back(entry.name);
  // Sorted by name without regard to case; folders are listed too.
  EXPECT_EQ(names, (std::vector<std::string>{"alpha.avi", "archive.tar.avi", "Beta.aVi",
                                             "folder.avi", "Zeta.AVI"}));
  ASSERT_EQ(avi.size(), 5u);
  EXPECT_EQ(avi[1].title, "archive.tar");
  EXPECT_EQ(avi[2].title, "Beta");
  EXPECT_EQ(avi[2].path, tree.Path("Beta.aVi"));
  EXPECT_EQ(files.ListByExtension(tree.Root(), "mpeg").size(), 1u);
  EXPECT_TRUE(files.ListByExtension(tree.Root(), "mpg").empty());
  // A folder that cannot be listed (here: it is a file, or it is not there) lists
  // nothing.
  EXPECT_TRUE(files.ListByExtension(tree.Path("alpha.avi"), "avi").empty());
  EXPECT_TRUE(files.ListByExtension(tree.Path("gone"), "avi").empty());
  EXPECT_EQ(files.ListNames(tree.Path("gone")), std::nullopt);
  EXPECT_EQ(files.ListNames(tree.Root())->size(), 8u);
}

template <typename Tree>
void ExpectSixtyFourBitSizesOfFilesOnly(Tree& tree, Files& files) {
  const std::string big = tree.SparseFile("big.avi", (5ull << 30) + 7);
  tree.Folder("folder.avi");
  EXPECT_EQ(files.FileSize(big), (5ull << 30) + 7);
  EXPECT_EQ(files.FileSize(tree.Path("folder.avi")), std::nullopt);
  EXPECT_EQ(files.FileSize(tree.Path("missing.avi")), std::nullopt);
  std::array<std::byte, 4> bytes{};
  bytes.fill(std::byte{0x55});
  EXPECT_EQ(files.ReadBytes(big, (5ull << 30) + 5, bytes), 2u);
  EXPECT_EQ(bytes[0], std::byte{0});
}

template <typename Tree>
void ExpectBytesOfRegularFilesOnly(Tree& tree, Files& files) {
  const std::string file = tree.File("ten.avi", "0123456789");
  tree.Folder("folder");
  std::array<std::byte, 4> bytes{};
  EXPECT_EQ(files.ReadBytes(file, 8, bytes), 2u);
  EXPECT_EQ(static_cast<char>(bytes[0]), '8');
  EXPECT_EQ(files.ReadBytes(file, 56, bytes), 0u);
  EXPECT_EQ(files.ReadBytes(file, 0, bytes), 4u);
  // Size and bytes with one opening.
  const std::optional<Files::Head> head = files.ReadHead(file, 8, bytes);
  ASSERT_TRUE(head.has_value());
  EXPECT_EQ(head->size, 10u);
  EXPECT_EQ(head->read, 2u);
  EXPECT_EQ(static_cast<char>(bytes[1]), '9');
  EXPECT_EQ(files.ReadHead(file, 56, bytes)->read, 0u);
  EXPECT_EQ(files.ReadFile(file), "0123456789");
  // An opened file is read piece by piece at any offset.
  const std::unique_ptr<Files::Reader> reader = files.OpenForReading(file);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->Size(), 10u);
  EXPECT_EQ(reader->ReadAt(6, bytes), 4u);
  EXPECT_EQ(static_cast<char>(bytes[0]), '6');
  EXPECT_EQ(reader->ReadAt(9, bytes), 1u);
  EXPECT_EQ(static_cast<char>(bytes[0]), '9');
  EXPECT_EQ(reader->ReadAt(10, bytes), 0u);
  EXPECT_EQ(reader->ReadAt(1, bytes), 4u);
  EXPECT_EQ(static_cast<char>(bytes[0]), '1');
  for (const std::string& other : {tree.Path("folder"), tree.Path("missing")}) {
    EXPECT_EQ(files.OpenForReading(other), nullptr) << other;
    EXPECT_EQ(files.ReadHead(other, 0, bytes), std::nullopt) << other;
    EXPECT_EQ(files.ReadBytes(other, 0, bytes), std::nullopt) << other;
    EXPECT_EQ(files.ReadFile(other), std::nullopt) << other;
    EXPECT_FALSE(files.ReadTextLines(other, [](std::string_view) { return true; })) << other;
  }
}

template <typename Tree>
void ExpectTextLinesEndAtLineFeeds(Tree& tree, Files& files) {
  EXPECT_EQ(Lines(files, tree.File("crlf", "a\r\nb \r\n\r\nlast")),
            (std::vector<std::string>{"a", "b ", "", "last"}));
  EXPECT_EQ(Lines(files, tree.File("lf", "a\nb\n")), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Lines(files, tree.File("cr", "a\rb\r")), (std::vector<std::string>{"a\rb\r"}));
  EXPECT_EQ(Lines(files, tree.File("crcrlf", "a\r\r\n")), (std::vector<std::string>{"a\r"}));
  EXPECT_EQ(Lines(files, tree.File("nul", std::string("a\0b\nc", 5))),
            (std::vector<std::string>{std::string("a\0b", 3), "c"}));
  EXPECT_TRUE(Lines(files, tree.File("empty", "")).empty());
  // A 10 MB line arrives whole, with the next line after it.
  const std::string longLine(10u << 20, 'x');
  const std::vector<std::string> lines = Lines(files, tree.File("long", longLine + "\r\nnext"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), longLine.size());
  EXPECT_EQ(lines[1], "next");
  // The reader stops when asked to.
  int seen = 0;
  files.ReadTextLines(tree.Path("crlf"), [&](std::string_view) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

}  // namespace quorvel::testing

#include "platform/linux/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::TempTree;

std::vector<std::string> Lines(Files& files, const std::string& path) {
  std::vector<std::string> lines;
  EXPECT_TRUE(files.ReadTextLines(path, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  }));
  return lines;
}

TEST(PosixFiles, ExistenceAndListingsIgnoreLetterCase) {
  TempTree tree;
  tree.Folder("MpegAV");
  tree.File("Zeta.AVI", "z");
  tree.File("alpha.avi", "a");
  tree.File("Beta.aVi", "b");
  tree.File("movie.avi2", "");
  tree.File("film.mpeg", "");
  tree.File("archive.tar.avi", "");
  tree.Folder("folder.avi");
  PosixFiles files;

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
  EXPECT_EQ(avi[1].title, "archive.tar");
  EXPECT_EQ(avi[2].title, "Beta");
  EXPECT_EQ(avi[2].path, tree.Path("Beta.aVi"));
  EXPECT_EQ(files.ListByExtension(tree.Root(), "mpeg").size(), 1u);
  EXPECT_TRUE(files.ListByExtension(tree.Root(), "mpg").empty());
  // A folder that cannot be listed (here: it is a file) lists nothing.
  EXPECT_TRUE(files.ListByExtension(tree.Path("alpha.avi"), "avi").empty());
  EXPECT_TRUE(files.ListByExtension(tree.Path("gone"), "avi").empty());
}

TEST(PosixFiles, SizesAreSixtyFourBitAndOnlyForFiles) {
  TempTree tree;
  const std::string big = tree.SparseFile("big.avi", (5ull << 30) + 7);
  tree.Folder("folder.avi");
  std::filesystem::create_symlink("loop2.avi", tree.Path("loop1.avi"));
  std::filesystem::create_symlink("loop1.avi", tree.Path("loop2.avi"));
  std::filesystem::create_symlink("vanished.avi", tree.Path("dangling.avi"));
  std::filesystem::create_symlink("big.avi", tree.Path("link.avi"));
  PosixFiles files;
  EXPECT_EQ(files.FileSize(big), (5ull << 30) + 7);
  EXPECT_EQ(files.FileSize(tree.Path("link.avi")), (5ull << 30) + 7);
  EXPECT_EQ(files.FileSize(tree.Path("folder.avi")), std::nullopt);
  EXPECT_EQ(files.FileSize(tree.Path("loop1.avi")), std::nullopt);
  EXPECT_EQ(files.FileSize(tree.Path("dangling.avi")), std::nullopt);
  // Every one of them is still listed; sizing is what skips them.
  EXPECT_EQ(files.ListByExtension(tree.Root(), "avi").size(), 6u);
}

TEST(PosixFiles, ReadsBytesOfRegularFilesOnly) {
  TempTree tree;
  const std::string file = tree.File("ten.avi", "0123456789");
  ASSERT_EQ(::mkfifo(tree.Path("fifo.avi").c_str(), 0600), 0);
  PosixFiles files;
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
  for (const std::string& other : {tree.Path("fifo.avi"), tree.Root(), tree.Path("missing")}) {
    EXPECT_EQ(files.ReadHead(other, 0, bytes).has_value(), false) << other;
  }
  // A FIFO would block a plain open; it is refused at once.
  EXPECT_EQ(files.ReadBytes(tree.Path("fifo.avi"), 0, bytes), std::nullopt);
  EXPECT_EQ(files.ReadFile(tree.Path("fifo.avi")), std::nullopt);
  EXPECT_EQ(files.ReadBytes(tree.Root(), 0, bytes), std::nullopt);
  EXPECT_EQ(files.ReadBytes(tree.Path("missing"), 0, bytes), std::nullopt);
  EXPECT_FALSE(files.ReadTextLines(tree.Path("missing"), [](std::string_view) { return true; }));
}

TEST(PosixFiles, TextLinesEndAtLineFeedsWithCrLfAsOne) {
  TempTree tree;
  PosixFiles files;
  EXPECT_EQ(Lines(files, tree.File("crlf", "a\r\nb \r\n\r\nlast")),
            (std::vector<std::string>{"a", "b ", "", "last"}));
  EXPECT_EQ(Lines(files, tree.File("lf", "a\nb\n")), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Lines(files, tree.File("cr", "a\rb\r")), (std::vector<std::string>{"a\rb\r"}));
  EXPECT_EQ(Lines(files, tree.File("crcrlf", "a\r\r\n")), (std::vector<std::string>{"a\r"}));
  EXPECT_EQ(Lines(files, tree.File("nul", std::string("a\0b\nc", 5))),
            (std::vector<std::string>{std::string("a\0b", 3), "c"}));
  EXPECT_TRUE(Lines(files, tree.File("empty", "")).empty());
  // A 10 MB line arrives whole, across many reads, with the next line after it.
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

TEST(PosixFiles, ResolvesDiskNamesAgainstRealEntries) {
  TempTree tree;
  tree.File("CD2/Aliens.AVI", "x");
  tree.File("Movie/Sub/Heat.avi", "x");
  tree.File("Caf\xC3\xA9.avi", "x");  // UTF-8 on this filesystem
  tree.File("x.avi", "outside?");
  const std::string disk = tree.Folder("disk");
  tree.File("disk/Film.AVI", "x");
  PosixFiles files;
  const std::string& root = tree.Root();

  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, "cd2\\aliens.avi"),
            tree.Path("CD2/Aliens.AVI"));
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, "\\MOVIE\\\\sub/heat.AVI"),
            tree.Path("Movie/Sub/Heat.avi"));
  // Windows-1252 bytes from the disk file find the UTF-8 name, in any ASCII case.
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, "CAF\xE9.AVI"), tree.Path("Caf\xC3\xA9.avi"));
  // From the first missing component on, the rest stays as written.
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, "cd2\\missing\\Film.avi"),
            tree.Path("CD2/missing/Film.avi"));
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, ""), root + "/");
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(root, "cover.jpg "), tree.Path("cover.jpg "));
  // Names that climb are joined, never resolved: they stay one name inside the folder.
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(disk, "..\\x.avi"), disk + "/..\\x.avi");
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(disk, "../x.avi"), disk + "/..\\x.avi");
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(disk, ".\\film.avi"), disk + "/.\\film.avi");
  EXPECT_EQ(MakeDiskNameResolver(files).Resolve(disk, "FILM.avi"), disk + "/Film.AVI");
}

}  // namespace
}  // namespace quorvel

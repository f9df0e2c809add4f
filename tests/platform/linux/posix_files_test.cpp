#include "platform/linux/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files_contract.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::TempTree;

TEST(PosixFiles, KeepTheFilesContract) {
  PosixFiles files;
  {
    TempTree tree;
    testing::ExpectListingsIgnoreLetterCase(tree, files);
  }
  {
    TempTree tree;
    testing::ExpectSixtyFourBitSizesOfFilesOnly(tree, files);
  }
  {
    TempTree tree;
    testing::ExpectBytesOfRegularFilesOnly(tree, files);
  }
  {
    TempTree tree;
    testing::ExpectTextLinesEndAtLineFeeds(tree, files);
  }
}

TEST(PosixFiles, LinksAreFollowedAndLoopsAreNoFiles) {
  TempTree tree;
  tree.SparseFile("big.avi", (5ull << 30) + 7);
  std::filesystem::create_symlink("loop2.avi", tree.Path("loop1.avi"));
  std::filesystem::create_symlink("loop1.avi", tree.Path("loop2.avi"));
  std::filesystem::create_symlink("vanished.avi", tree.Path("dangling.avi"));
  std::filesystem::create_symlink("big.avi", tree.Path("link.avi"));
  PosixFiles files;
  EXPECT_EQ(files.FileSize(tree.Path("link.avi")), (5ull << 30) + 7);
  EXPECT_EQ(files.FileSize(tree.Path("loop1.avi")), std::nullopt);
  EXPECT_EQ(files.FileSize(tree.Path("dangling.avi")), std::nullopt);
  // Every one of them is still listed; sizing is what skips them.
  EXPECT_EQ(files.ListByExtension(tree.Root(), "avi").size(), 5u);
}

TEST(PosixFiles, AFifoIsRefusedWithoutBlocking) {
  TempTree tree;
  ASSERT_EQ(::mkfifo(tree.Path("fifo.avi").c_str(), 0600), 0);
  PosixFiles files;
  std::array<std::byte, 4> bytes{};
  // A FIFO would block a plain open; it is refused at once.
  EXPECT_EQ(files.ReadHead(tree.Path("fifo.avi"), 0, bytes), std::nullopt);
  EXPECT_EQ(files.ReadBytes(tree.Path("fifo.avi"), 0, bytes), std::nullopt);
  EXPECT_EQ(files.ReadFile(tree.Path("fifo.avi")), std::nullopt);
  EXPECT_FALSE(files.ReadTextLines(tree.Path("fifo.avi"), [](std::string_view) { return true; }));
  EXPECT_EQ(files.OpenForReading(tree.Path("fifo.avi")), nullptr);
  EXPECT_EQ(files.OpenForReading("/dev/zero"), nullptr) << "a device is no regular file";
}

TEST(PosixFiles, DiskNamesResolveAgainstTheRealEntries) {
  TempTree tree;
  tree.File("CD2/Aliens.AVI", "x");
  tree.File("Caf\xC3\xA9.avi", "x");  // UTF-8 on this filesystem
  PosixFiles files;
  DiskNameResolver names = CreateDiskNameResolver(files);
  const std::string& root = tree.Root();
  EXPECT_EQ(names.Resolve(root, "cd2\\aliens.avi"), tree.Path("CD2/Aliens.AVI"));
  // Windows-1252 bytes from the disk file find the UTF-8 name, in any ASCII case.
  EXPECT_EQ(names.Resolve(root, "CAF\xE9.AVI"), tree.Path("Caf\xC3\xA9.avi"));
}

}  // namespace
}  // namespace quorvel

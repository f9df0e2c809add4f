// The fake files service keeps the contract that the platform's own service keeps.
#include <gtest/gtest.h>

#include "support/fake_tree.h"
#include "support/files_contract.h"

namespace quorvel {
namespace {

using testing::FakeTree;

TEST(FakeFileTree, KeepsTheFilesContract) {
  {
    FakeTree tree;
    testing::ExpectListingsIgnoreLetterCase(tree, tree.files());
  }
  {
    FakeTree tree;
    testing::ExpectSixtyFourBitSizesOfFilesOnly(tree, tree.files());
  }
  {
    FakeTree tree;
    testing::ExpectBytesOfRegularFilesOnly(tree, tree.files());
  }
  {
    FakeTree tree;
    testing::ExpectTextLinesEndAtLineFeeds(tree, tree.files());
  }
}

TEST(FakeFileTree, EntriesGoAndBecomeUnreadableAsTestsSay) {
  FakeTree tree;
  FakeFileTree& files = tree.files();
  const std::string file = tree.File("cd/film.avi", "0123");
  tree.File("cd/sub/deep.avi");
  EXPECT_EQ(files.ListNames(tree.Path("cd")), (std::vector<std::string>{"film.avi", "sub"}));
  // A file that cannot be opened is still listed and sized.
  files.MakeUnreadable(file);
  EXPECT_EQ(files.ReadFile(file), std::nullopt);
  EXPECT_EQ(files.FileSize(file), 4u);
  EXPECT_TRUE(files.EntryExists(tree.Path("cd"), "FILM.AVI"));
  files.MakeUnlistable(tree.Path("cd/sub"));
  EXPECT_EQ(files.ListNames(tree.Path("cd/sub")), std::nullopt);
  // A folder removed takes everything below it along.
  tree.Remove("cd/sub");
  EXPECT_EQ(files.FileSize(tree.Path("cd/sub/deep.avi")), std::nullopt);
  EXPECT_EQ(files.ListNames(tree.Path("cd")), (std::vector<std::string>{"film.avi"}));
}

}  // namespace
}  // namespace quorvel

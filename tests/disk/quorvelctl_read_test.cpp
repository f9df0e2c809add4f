// quorvelctl read, run as a program on real folders.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/shell_command.h"
#include "support/temp_tree.h"

namespace quorvel {
namespace {

using testing::CommandRun;
using testing::RunShell;
using testing::ShellQuote;
using testing::TempTree;

// Runs quorvelctl with a settings folder of its own, so the user's settings do not
// leak into the test.
CommandRun Quorvelctl(const TempTree& tree, const std::string& arguments) {
  const std::string command = "XDG_CONFIG_HOME=" + ShellQuote(tree.Path("config")) + " " +
                              ShellQuote(QUORVEL_BINARY_DIR "/quorvelctl/quorvelctl") + " " +
                              arguments + " </dev/null";
  return RunShell(command);
}

TEST(QuorvelctlRead, PrintsTheMainDialogRows) {
  TempTree tree;
  const std::string disk = tree.Folder("disk");
  tree.SparseFile("disk/alpha.avi", 10u << 20);
  tree.SparseFile("disk/Beta.MPG", 10u << 20);
  tree.File("disk/cover.jpg");
  CommandRun run = Quorvelctl(tree, "read " + ShellQuote(disk));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "Drive Type\tFixed disk\n"
            "Disk Label\t\n"
            "Movie (DivX)\talpha\n"
            "Movie (MPEG)\tBeta\n"
            "Picture File\t" +
                disk + "/cover.jpg\n");

  // The user's stored settings decide: a threshold above the files' size lists none
  // of them, and a disk without movies shows no picture row.
  ASSERT_EQ(Quorvelctl(tree, "settings set MinFileSize=11").status, 0);
  run = Quorvelctl(tree, "read " + ShellQuote(disk));
  EXPECT_EQ(run.out, "Drive Type\tFixed disk\nDisk Label\t\n");
  ASSERT_EQ(Quorvelctl(tree, "settings set MinFileSize=10").status, 0);
  run = Quorvelctl(tree, "read " + ShellQuote(disk));
  EXPECT_NE(run.out.find("Movie (MPEG)\tBeta\n"), std::string::npos) << run.out;

  const std::string empty = tree.Folder("empty");
  tree.File("empty/cover.jpg");
  run = Quorvelctl(tree, "read " + ShellQuote(empty));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Drive Type\tFixed disk\nDisk Label\t\n");

  // No disk in a drive that is not there; still a successful run.
  run = Quorvelctl(tree, "read /dev/sr97");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Drive Type\tThe root path is invalid\nMovie Type\tNo Disk\n");
}

TEST(QuorvelctlRead, ControlCharactersOfNamesAreEscapedSoEachRowIsOneLine) {
  TempTree tree;
  const std::string disk = tree.Folder("disk");
  tree.SparseFile("disk/two\nlines.avi", 10u << 20);
  tree.SparseFile("disk/tab\there\x1b.avi", 10u << 20);
  tree.File("disk/cover\r.jpg");
  const CommandRun run = Quorvelctl(tree, "read " + ShellQuote(disk));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "Drive Type\tFixed disk\n"
            "Disk Label\t\n"
            "Movie (DivX)\ttab\\there\\x1b\n"
            "Movie (DivX)\ttwo\\nlines\n"
            "Picture File\t" +
                disk + "/cover\\r.jpg\n");
  // The JSON output holds the names as they are.
  const nlohmann::json out =
      nlohmann::json::parse(Quorvelctl(tree, "read --json " + ShellQuote(disk)).out);
  EXPECT_EQ(out["movies"][1]["title"], "two\nlines");
}

TEST(QuorvelctlRead, JsonHoldsEveryField) {
  TempTree tree;
  const std::string disk = tree.Folder("disk");
  tree.SparseFile("disk/alpha.avi", 10u << 20);
  tree.File("disk/configuration.ini", "[Movies]\nFirst=ALPHA.AVI\nSecond=none.mpg\n");
  CommandRun run = Quorvelctl(tree, "read --json " + ShellQuote(disk));
  EXPECT_EQ(run.status, 0);
  const nlohmann::json out = nlohmann::json::parse(run.out);
  EXPECT_EQ(out["path"], disk);
  EXPECT_EQ(out["present"], true);
  EXPECT_EQ(out["label"], "");
  EXPECT_EQ(out["driveType"], 3);
  EXPECT_EQ(out["driveTypeName"], "Fixed disk");
  EXPECT_EQ(out["result"], "Ok");
  EXPECT_EQ(out["picture"], disk + "/");
  ASSERT_EQ(out["movies"].size(), 2u);
  EXPECT_EQ(out["movies"][0], nlohmann::json({{"title", "First"},
                                              {"file", disk + "/alpha.avi"},
                                              {"type", 1},
                                              {"typeName", "DivX"},
                                              {"audioStreams", -1}}));
  EXPECT_EQ(out["movies"][1]["file"], disk + "/none.mpg");
  EXPECT_EQ(out["movies"][1]["audioStreams"], 1);
  // The keys come in the documented order.
  EXPECT_EQ(run.out.find("\"path\""), run.out.find('"'));
  EXPECT_LT(run.out.find("\"picture\""), run.out.find("\"movies\""));

  run = Quorvelctl(tree, "read --json /dev/sr97");
  EXPECT_EQ(run.status, 0);
  const nlohmann::json none = nlohmann::json::parse(run.out);
  EXPECT_EQ(none["present"], false);
  EXPECT_EQ(none["result"], "NoVolume");
  EXPECT_EQ(none["root"], "");
  EXPECT_EQ(none["driveType"], 1);
  EXPECT_TRUE(none["movies"].empty());
}

TEST(QuorvelctlRead, PathWithoutAFolderIsNoDisk) {
  TempTree tree;
  const std::string file = tree.SparseFile("disk/film.avi", 10u << 20);
  for (const std::string& path : {file, tree.Path("gone")}) {
    CommandRun run = Quorvelctl(tree, "read " + ShellQuote(path));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Drive Type\tThe root path is invalid\nMovie Type\tNo Disk\n") << path;
    run = Quorvelctl(tree, "read --json " + ShellQuote(path));
    const nlohmann::json out = nlohmann::json::parse(run.out);
    EXPECT_EQ(out["path"], path);
    EXPECT_EQ(out["present"], false);
    EXPECT_EQ(out["result"], "NoVolume");
    EXPECT_TRUE(out["movies"].empty());
  }
}

TEST(QuorvelctlRead, NamesThatAreNotUtf8AreShownAsWindows1252) {
  TempTree tree;
  // Names written on Windows in its code page, next to one already in UTF-8.
  const std::string disk = tree.Folder("Caf\xe9");
  tree.SparseFile("Caf\xe9/\xc9t\xe9 \x96 1.avi", 10u << 20);
  tree.SparseFile(
      "Caf\xe9/\xc3\x9c"
      "ber.mpg",
      10u << 20);
  tree.File("Caf\xe9/Cover \x80.jpg");
  const std::string shown = tree.Path("Caf\xc3\xa9");
  CommandRun run = Quorvelctl(tree, "read " + ShellQuote(disk));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "Drive Type\tFixed disk\n"
            "Disk Label\t\n"
            "Movie (DivX)\t\xc3\x89t\xc3\xa9 \xe2\x80\x93 1\n"
            "Movie (MPEG)\t\xc3\x9c"
            "ber\n"
            "Picture File\t" +
                shown + "/Cover \xe2\x82\xac.jpg\n");

  run = Quorvelctl(tree, "read --json " + ShellQuote(disk));
  EXPECT_EQ(run.status, 0);
  const nlohmann::json out = nlohmann::json::parse(run.out);
  EXPECT_EQ(out["path"], shown);
  EXPECT_EQ(out["folder"], shown);
  EXPECT_EQ(out["picture"], shown + "/Cover \xe2\x82\xac.jpg");
  ASSERT_EQ(out["movies"].size(), 2u);
  EXPECT_EQ(out["movies"][0]["title"], "\xc3\x89t\xc3\xa9 \xe2\x80\x93 1");
  EXPECT_EQ(out["movies"][0]["file"], shown + "/\xc3\x89t\xc3\xa9 \xe2\x80\x93 1.avi");
  EXPECT_EQ(out["movies"][1]["title"],
            "\xc3\x9c"
            "ber");
}

}  // namespace
}  // namespace quorvel

// The program's command line: "fs" and "p" in every spelling, and paths that begin with
// "/" on Linux.

#include "app/startup_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

struct Case {
  std::vector<std::string> arguments;
  std::string diskPath;
  bool fullScreen;
};

CStartupCommandLine Parse(const std::vector<std::string>& arguments, bool slashStartsPaths) {
  CStartupCommandLine line(slashStartsPaths);
  line.Parse(arguments);
  return line;
}

TEST(StartupCommandLineTest, SwitchesAndPathsWhereAbsolutePathsBeginWithSlash) {
  const Case cases[] = {
      {{}, "", false},
      {{"-fs", "-p", "samples/demo-disk"}, "samples/demo-disk", true},
      {{"--fs", "--p", "/media/cdrom"}, "/media/cdrom", true},
      {{"/fs", "/p", "/dev/sr0"}, "/dev/sr0", true},
      {{"/P", "/pub/movies"}, "/pub/movies", false},
      {{"-FS"}, "", true},
      // Separated switches: the path still follows its "p".
      {{"/p", "/fs", "/media/disk"}, "/media/disk", true},
      // "/pub" is a folder, never "p" with something after it; nor is "/fsck".
      {{"/pub"}, "", false},
      {{"/fsck"}, "", false},
      {{"-p", "/pub", "/p2"}, "/pub", false},
      // A "p" at the end leaves the path empty; a plain argument without "p" is ignored.
      {{"/media/cdrom", "-p"}, "", false},
      {{"movies"}, "", false},
      // Other switches are ignored and leave a pending "p" pending.
      {{"-p", "-v", "--verbose", "disk"}, "disk", false},
      // "--" only for the program's own names.
      {{"--pub", "x"}, "", false},
      // The last "p" wins.
      {{"-p", "a", "-p", "b"}, "b", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CStartupCommandLine line = Parse(c.arguments, true);
    EXPECT_EQ(line.diskPath, c.diskPath);
    EXPECT_EQ(line.fullScreen, c.fullScreen);
  }
}

TEST(StartupCommandLineTest, EverySlashArgumentIsASwitchWhereDrivesHaveLetters) {
  const CStartupCommandLine line = Parse({"/P", "/xyz", "D:\\", "/fS"}, false);
  EXPECT_EQ(line.diskPath, "D:\\");
  EXPECT_TRUE(line.fullScreen);
  EXPECT_EQ(Parse({"/p", "/pub"}, false).diskPath, "");
}

}  // namespace
}  // namespace quorvel

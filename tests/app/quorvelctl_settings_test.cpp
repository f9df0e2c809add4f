// quorvelctl's settings and players commands, run as the real program on a store in a
// temporary XDG_CONFIG_HOME.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/settings.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

class QuorvelctlTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    const auto outPath = dir.path() / "stdout";
    const auto errPath = dir.path() / "stderr";
    const std::string program = std::string(QUORVEL_BINARY_DIR) + "/quorvelctl/quorvelctl";
    const std::string configHome = "XDG_CONFIG_HOME=" + (dir.path() / "config").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(out, 1);
      ::dup2(err, 2);
      ::dup2(in, 0);
      std::vector<char*> argv = {const_cast<char*>(program.c_str())};
      for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      char* envp[] = {const_cast<char*>(configHome.c_str()), nullptr};
      ::execve(program.c_str(), argv.data(), envp);
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileBytes(outPath),
            ReadFileBytes(errPath)};
  }

  nlohmann::ordered_json Json(const std::vector<std::string>& args) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 0) << result.err;
    return nlohmann::ordered_json::parse(result.out);
  }

  std::filesystem::path store() const { return dir.path() / "config" / "quorvel" / "registry.reg"; }

  testing::TempDir dir;
};

TEST_F(QuorvelctlTest, SettingsJsonShowsEveryStoredValueThePlayersTheThemeAndFfdshow) {
  const auto json = Json({"settings", "--json"});
  std::vector<std::string> keys;
  for (const auto& [key, value] : json.items()) keys.push_back(key);
  std::vector<std::string> expected;
  for (const auto& setting : kStoredSettings) expected.emplace_back(setting.name);
  expected.insert(expected.end(), {"Players", "Themes", "FfdshowFound"});
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(json["ReadMDVD"], 1);
  EXPECT_EQ(json["DivX Player"], "");
  EXPECT_EQ(json["Players"], nlohmann::ordered_json::array());
  EXPECT_EQ(json["Themes"]["LabelFg"], 0x0080FFFF);
  EXPECT_EQ(json["Themes"]["ChoiceFont"]["weight"], 700);
  EXPECT_EQ(json["Themes"]["ChoiceFont"]["faceName"], "Arial");
  EXPECT_EQ(json["Themes"]["ChoiceFont"].size(), 14u);
  EXPECT_EQ(json["FfdshowFound"], 0);
  EXPECT_TRUE(std::filesystem::exists(store())) << "the first load creates the keys";

  const Result text = Run({"settings"});
  EXPECT_EQ(text.status, 0);
  EXPECT_THAT(text.out, HasSubstr("SVCD Command Line = \n"));
  EXPECT_THAT(text.out, HasSubstr("FfdshowFound = 0\n"));
}

TEST_F(QuorvelctlTest, SettingsSetChangesNamedValuesAndRefusesBadOnesSavingNothing) {
  EXPECT_EQ(Run({"settings", "set", "FullScreen=1", "Bogus=2"}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(store())) << "nothing is saved, not even a first load";

  const Result set = Run({"settings", "set", "divx player=Caf\xe9 \"q\" \\",
                          "MinFileSize=4294967295", "FULLSCREEN=-1", "Mpeg Command Line=a=b"});
  ASSERT_EQ(set.status, 0) << set.err;
  auto json = Json({"settings", "--json"});
  EXPECT_EQ(json["DivX Player"], "Caf\xc3\xa9 \"q\" \\") << "Windows-1252 shown as UTF-8";
  EXPECT_EQ(json["MinFileSize"], 4294967295u);
  EXPECT_EQ(json["FullScreen"], -1);
  EXPECT_EQ(json["Mpeg Command Line"], "a=b");

  const std::string before = ReadFileBytes(store());
  const std::vector<std::vector<std::string>> refused = {
      {"settings", "set", "Bogus=1"},
      {"settings", "set", "FullScreen=x"},
      {"settings", "set", "FullScreen=2147483648"},
      {"settings", "set", "MinFileSize=-1"},
      {"settings", "set", "FullScreen="},
      {"settings", "set", "FullScreen"},
      {"settings", "set", "Shutdown=1", "VCD Player=" + std::string(1024, 'v')},
  };
  for (const auto& args : refused) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 2) << args.back();
    EXPECT_THAT(result.err, HasSubstr("quorvelctl: ")) << args.back();
    EXPECT_EQ(ReadFileBytes(store()), before) << args.back();
  }
}

TEST_F(QuorvelctlTest, PlayersAreAddedInOrderListedAndRemovedByExactName) {
  ASSERT_EQ(Run({"players", "add", "--name", "BSPlayer", "--path", "C:\\bs.exe", "--cmdline",
                 "-fs %f", "--playlist", "0"})
                .status,
            0);
  ASSERT_EQ(Run({"players", "add", "--name", "Zoom", "--path", "/usr/bin/zoom"}).status, 0);
  ASSERT_EQ(Run({"players", "add", "--name", "Other", "--path", "o", "--playlist", "1"}).status, 0);
  EXPECT_EQ(Run({"players", "add", "--name", "bsplayer", "--path", "x"}).status, 2);
  EXPECT_EQ(Run({"players", "add", "--name", "a\\b", "--path", "x"}).status, 2);
  EXPECT_EQ(Run({"players", "add", "--name", "P", "--path", "x", "--playlist", "3"}).status, 2);
  const Result quoted = Run({"players", "add", "--name", "Q", "--path", "/bin/true\" \"x"});
  EXPECT_EQ(quoted.status, 2);
  EXPECT_THAT(quoted.err, HasSubstr("holds a double quote"));

  auto players = Json({"players", "--json"});
  ASSERT_EQ(players.size(), 3u);
  EXPECT_EQ(players[0], (nlohmann::ordered_json{{"Name", "BSPlayer"},
                                                {"AppPath", "C:\\bs.exe"},
                                                {"CmdLine", "-fs %f"},
                                                {"Playlist", 0}}));
  EXPECT_EQ(players[1]["Playlist"], -1);
  EXPECT_EQ(players[2]["Name"], "Other");

  EXPECT_EQ(Run({"players", "remove", "zoom"}).status, 1) << "names are matched exactly";
  EXPECT_EQ(Run({"players", "remove", "Zoom"}).status, 0);
  const Result list = Run({"players"});
  EXPECT_EQ(list.out,
            "BSPlayer: AppPath \"C:\\bs.exe\", CmdLine \"-fs %f\", Playlist 0\n"
            "Other: AppPath \"o\", CmdLine \"\", Playlist 1\n");
  EXPECT_EQ(Json({"settings", "--json"})["Players"].size(), 2u);
}

TEST_F(QuorvelctlTest, ADamagedStoreIsSetAsideAndReportedOnce) {
  testing::WriteFileBytes(store(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=str:1\n");
  const Result first = Run({"settings"});
  EXPECT_EQ(first.status, 0);
  EXPECT_THAT(first.err, HasSubstr("registry.reg.bad"));
  EXPECT_THAT(first.err, HasSubstr("line 4"));
  EXPECT_THAT(first.out, HasSubstr("ReadMDVD = 1\n"));
  EXPECT_EQ(Run({"settings"}).err, "");
  EXPECT_EQ(ReadFileBytes(store().string() + ".bad"),
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=str:1\n");
}

}  // namespace
}  // namespace quorvel

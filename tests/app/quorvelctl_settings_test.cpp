// quorvelctl's settings and players commands, run as the real program on a store in a
// temporary XDG_CONFIG_HOME.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
  // Starts quorvelctl without waiting for it; its output goes to files named after `tag`.
  pid_t Start(const std::vector<std::string>& args, const std::string& tag = "run") {
    const auto outPath = dir.path() / (tag + ".out");
    const auto errPath = dir.path() / (tag + ".err");
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
    return pid;
  }

  Result Wait(pid_t pid, const std::string& tag = "run") {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            ReadFileBytes(dir.path() / (tag + ".out")), ReadFileBytes(dir.path() / (tag + ".err"))};
  }

  Result Run(const std::vector<std::string>& args) { return Wait(Start(args)); }

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
                          "MinFileSize=4294967295", "FULLSCREEN=3", "Mpeg Command Line=a=b"});
  ASSERT_EQ(set.status, 0) << set.err;
  auto json = Json({"settings", "--json"});
  EXPECT_EQ(json["DivX Player"], "Caf\xc3\xa9 \"q\" \\") << "Windows-1252 shown as UTF-8";
  EXPECT_EQ(json["MinFileSize"], 4294967295u);
  EXPECT_EQ(json["FullScreen"], 3);
  EXPECT_EQ(json["Mpeg Command Line"], "a=b");

  const std::string before = ReadFileBytes(store());
  const std::vector<std::vector<std::string>> refused = {
      {"settings", "set", "Bogus=1"},
      {"settings", "set", "FullScreen=x"},
      {"settings", "set", "FullScreen=2147483648"},
      {"settings", "set", "FullScreen=7"},
      {"settings", "set", "FullScreen=-1"},
      {"settings", "set", "Shutdown=2"},
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
  // The range is said in words.
  EXPECT_EQ(Run({"settings", "set", "FullScreen=7"}).err,
            "quorvelctl: \"7\" is not a value of \"FullScreen\", which takes a whole number from "
            "0 to 3 (0 configuration dialog, 1 full screen window, 2 icon in the tray, 3 system "
            "shell)\n");
  EXPECT_EQ(Run({"settings", "set", "autoplay=5"}).err,
            "quorvelctl: \"5\" is not a value of \"Autoplay\", which takes a whole number from 0 "
            "to 1 (0 off, 1 on)\n");
}

TEST_F(QuorvelctlTest, NumberOptionsOutsideTheirRangeAreRefusedInWords) {
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"play", "--movie", "0", "/nonexistent"}, "--movie: must be 1 or more, not 0"},
      {{"play", "--movie", "-3", "/nonexistent"}, "--movie: must be 1 or more, not -3"},
      {{"play", "--movie", "x", "/nonexistent"},
       "--movie: \"x\" is not a whole number; it must be 1 or more"},
      {{"play", "--movie", "99999999999", "/nonexistent"},
       "--movie: must be at most 2147483647, not 99999999999"},
      {{"players", "add", "--name", "p", "--path", "/p", "--playlist", "3"},
       "--playlist: must be from -1 to 2, not 3"},
  };
  for (const Case& c : cases) {
    const Result result = Run(c.args);
    EXPECT_EQ(result.status, 2) << c.says;
    EXPECT_THAT(result.err, HasSubstr(c.says + "\n"));
    EXPECT_LT(result.err.size(), 200u) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(store()));
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

std::size_t Occurrences(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(QuorvelctlTest, SettingsSetReportsADamagedOrUnreadableStoreOnce) {
  // A folder where the store file should be: it is no store, nothing can be saved.
  std::filesystem::create_directories(store());
  const Result unreadable = Run({"settings", "set", "FullScreen=1"});
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(Occurrences(unreadable.err, "is a folder, not a regular file"), 1u) << unreadable.err;
  EXPECT_TRUE(std::filesystem::is_directory(store()));
  std::filesystem::remove(store());

  const std::string damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=str:1\n";
  testing::WriteFileBytes(store(), damaged);
  const Result set = Run({"settings", "set", "FullScreen=3"});
  EXPECT_EQ(set.status, 0);
  EXPECT_EQ(Occurrences(set.err, "is damaged"), 1u) << set.err;
  EXPECT_EQ(ReadFileBytes(store().string() + ".bad"), damaged);
  EXPECT_EQ(Json({"settings", "--json"})["FullScreen"], 3);
}

// Twenty processes change twenty different values at once, twenty times over; every
// change is kept, whatever order the saves come in.
TEST_F(QuorvelctlTest, ConcurrentSetsOfDifferentValuesAreAllKept) {
  constexpr int kRounds = 20;
  constexpr std::size_t kProcesses = 20;
  static_assert(kProcesses <= kStoredSettings.size());
  // Every round gives each setting a value other than the round before, within its range.
  const auto valueOf = [](int round, std::size_t i) {
    const int n = static_cast<int>(i);
    switch (kStoredSettings[i].kind) {
      case SettingKind::Text:
        return "round " + std::to_string(round) + " value " + std::to_string(i);
      case SettingKind::Switch:
        return std::to_string((round + n) % 2);
      case SettingKind::StartMode:
        return std::to_string(round % 4);
      default:
        return std::to_string(round * 100 + n);
    }
  };
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> running;
    for (std::size_t i = 0; i < kProcesses; ++i) {
      running.push_back(
          Start({"settings", "set", std::string(kStoredSettings[i].name) + "=" + valueOf(round, i)},
                "set" + std::to_string(i)));
    }
    for (std::size_t i = 0; i < kProcesses; ++i) {
      const Result result = Wait(running[i], "set" + std::to_string(i));
      EXPECT_EQ(result.status, 0) << result.err;
      EXPECT_EQ(result.err, "");
    }
    const auto json = Json({"settings", "--json"});
    std::string lost;
    for (std::size_t i = 0; i < kProcesses; ++i) {
      const auto& stored = json[std::string(kStoredSettings[i].name)];
      const std::string shown = stored.is_string() ? stored.get<std::string>() : stored.dump();
      if (shown != valueOf(round, i)) lost += " \"" + std::string(kStoredSettings[i].name) + "\"";
    }
    ASSERT_EQ(lost, "") << "round " << round << " lost the changes of" << lost;
  }
}

// Removing a player rebuilds the whole "Players" key; players added and values changed
// by other processes at the same moment are kept, and the removed player stays removed.
TEST_F(QuorvelctlTest, APlayerRemovedWhileOthersChangeTheStoreStaysRemovedAndTheirChangesStay) {
  constexpr int kRounds = 10;
  for (int i = 0; i < kRounds; ++i) {
    ASSERT_EQ(Run({"players", "add", "--name", "P" + std::to_string(i), "--path", "p"}).status, 0);
  }
  for (int round = 0; round < kRounds; ++round) {
    const std::string n = std::to_string(round);
    const std::vector<std::vector<std::string>> commands = {
        {"players", "remove", "P" + n},
        {"players", "add", "--name", "Q" + n, "--path", "q" + n},
        {"settings", "set", "DivX Player=round " + n},
        {"settings", "set", "MinFileSize=" + n},
    };
    std::vector<pid_t> running;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      running.push_back(Start(commands[i], "command" + std::to_string(i)));
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
      const Result result = Wait(running[i], "command" + std::to_string(i));
      EXPECT_EQ(result.status, 0) << commands[i][1] << ": " << result.err;
    }
    const auto json = Json({"settings", "--json"});
    std::vector<std::string> names;
    for (const auto& player : json["Players"]) names.push_back(player["Name"]);
    std::vector<std::string> expected;
    for (int i = round + 1; i < kRounds; ++i) expected.push_back("P" + std::to_string(i));
    for (int i = 0; i <= round; ++i) expected.push_back("Q" + std::to_string(i));
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(names, expected) << "round " << round;
    ASSERT_EQ(json["DivX Player"], "round " + n);
    ASSERT_EQ(json["MinFileSize"], round);
  }
}

TEST_F(QuorvelctlTest, OkInTheOptionsKeepsWhatQuorvelctlStoredAfterTheProgramLoaded) {
  // The README's own steps: a player first, then the settings that use it, which come
  // while the program runs with what it loaded from the store that had only the player.
  ASSERT_EQ(Run({"players", "add", "--name", "mpv", "--path", "/usr/bin/mpv", "--cmdline",
                 "--fs %f", "--playlist", "2"})
                .status,
            0);

  int toChild[2];
  int fromChild[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(fromChild), 0);
  const std::string configHome = "XDG_CONFIG_HOME=" + (dir.path() / "config").string();
  const pid_t program = ::fork();
  if (program == 0) {
    ::dup2(toChild[0], 0);
    ::dup2(fromChild[1], 1);
    const char* child = QUORVEL_OPTIONS_OK_CHILD;
    // On the General page the user switches "Shutdown" on, and nothing else.
    char* argv[] = {const_cast<char*>(child), const_cast<char*>("Shutdown=1"), nullptr};
    char* envp[] = {const_cast<char*>(configHome.c_str()), nullptr};
    ::execve(child, argv, envp);
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  char loaded[16] = {};
  ASSERT_GT(::read(fromChild[0], loaded, sizeof loaded - 1), 0);
  EXPECT_STREQ(loaded, "loaded\n");

  ASSERT_EQ(Run({"settings", "set", "DivX Player=mpv", "DivX Command Line=--fs %f", "FullScreen=1"})
                .status,
            0);
  ASSERT_EQ(::write(toChild[1], "\n", 1), 1);  // OK
  int status = 0;
  ASSERT_EQ(::waitpid(program, &status, 0), program);
  ::close(toChild[1]);
  ::close(fromChild[0]);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  const auto json = Json({"settings", "--json"});
  EXPECT_EQ(json["DivX Player"], "mpv");
  EXPECT_EQ(json["DivX Command Line"], "--fs %f");
  EXPECT_EQ(json["FullScreen"], 1);
  EXPECT_EQ(json["Shutdown"], 1) << "the user's own change";
  ASSERT_EQ(json["Players"].size(), 1u);
  EXPECT_EQ(json["Players"][0]["Name"], "mpv");
  // What nobody set is stored with the program's defaults.
  const std::string stored = ReadFileBytes(store());
  EXPECT_THAT(stored, HasSubstr("\"ReadMDVD\"=dword:00000001"));
  EXPECT_THAT(stored, HasSubstr("\"Mpeg Player\"=\"\""));
}

}  // namespace
}  // namespace quorvel

// The processes service on real processes: what a started player receives, what the
// process list shows.

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fake/fake_services.h"
#include "platform/linux/linux_processes.h"
#include "playback/launchers.h"
#include "playback/player_choice.h"
#include "playback/process_list.h"
#include "process_test_support.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using testing::TestFolder;

struct Record {
  unsigned pid = 0;
  std::string cwd;
  std::string env;
  std::vector<int> fds;
  Args args;
};

Record ParseRecord(const std::string& text) {
  Record record;
  std::size_t at = 0;
  auto line = [&]() {
    std::size_t end = text.find('\n', at);
    std::string l = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    return l;
  };
  while (at < text.size()) {
    std::string l = line();
    if (l.rfind("pid ", 0) == 0) record.pid = static_cast<unsigned>(std::stoul(l.substr(4)));
    if (l.rfind("cwd ", 0) == 0) record.cwd = l.substr(4);
    if (l.rfind("env ", 0) == 0) record.env = l.substr(4);
    if (l.rfind("fd ", 0) == 0) record.fds.push_back(std::stoi(l.substr(3)));
    if (l.rfind("arg ", 0) == 0) {
      std::size_t length = std::stoul(l.substr(4));
      record.args.push_back(text.substr(at, length));
      at += length + 1;
    }
  }
  return record;
}

class StartPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recordPath = folder.path() / "record";
    setenv("QUORVEL_ARGV_RECORD", recordPath.c_str(), 1);
    setenv("QUORVEL_TEST_ENV", "inherited value", 1);
  }

  // Waits for the started recorder's record and takes it away for the next start.
  Record TakeRecord() {
    EXPECT_TRUE(testing::WaitFor([&] { return fs::exists(recordPath); }))
        << "the program did not start";
    Record record = ParseRecord(testing::ReadFileText(recordPath));
    fs::remove(recordPath);
    return record;
  }

  TestFolder folder;
  fs::path recordPath;
  std::unique_ptr<Processes> processes = CreateLinuxProcesses();
  RecordingMessages messages;
};

TEST_F(StartPlayerTest, ThePlayerGetsEachFileAsExactlyOneArgument) {
  // The player itself lives in a folder whose name needs quoting.
  const fs::path player = folder.path() / "my player %f & co" / "recorder";
  testing::CopyProgram(testing::TestProgram("argv_recorder"), player);
  Settings settings;
  settings.Players = {{"recorder", player.string(), "", PlaylistType::NoPlaylist}};
  settings.DivXPlayer = "recorder";
  // The real processes, every other service a fake.
  FakeServices fake;
  const Services services{fake.files,    fake.volumes, *processes,        fake.system,
                          fake.registry, messages,     fake.privateFiles, fake.diskEvents};

  const Args files = {
      "/media/cd/plain.avi",
      "/media/cd/with \"quotes\" inside.avi",
      "/media/cd/back\\slash\\\\\"quote.avi",
      "/media/cd/trailing backslash\\",
      "/media/cd/blanks  and\ttab.avi",
      "/media/cd/100% & %f percent.avi",
      "/media/cd/new\nline.avi",
      "/media/cd/caf\xE9 \x93win1252\x94.avi",
      "\" --fs \"",
      "/media/cd/" + std::string(300, 'x') + ".avi",  // no 259-character limit here
  };
  struct Template {
    std::string text;
    std::function<Args(const std::string&)> expected;
  };
  const std::vector<Template> templates = {
      {"%f", [](const std::string& f) { return Args{f}; }},
      {"-fs \"%f\"",
       [](const std::string& f) {
         return Args{"-fs", f};
       }},
      {"--playlist=%f \"%f\" %f",
       [](const std::string& f) {
         return Args{"--playlist=" + f, f, f};
       }},
  };
  for (const auto& t : templates) {
    settings.DivXCommandLine = t.text;
    for (const auto& f : files) {
      SCOPED_TRACE(t.text + " / " + f);
      ASSERT_TRUE(PlayMovie(services, settings, Movie(MovieType::DivX, "title", f, fake.files)));
      EXPECT_EQ(TakeRecord().args, t.expected(f));
    }
  }
}

TEST_F(StartPlayerTest, ThePlayerGetsOurEnvironmentAndFolderButNoDescriptorAndLeavesNoZombie) {
  // A descriptor that does not close on exec: the player must not get it.
  int leak = fcntl(open("/dev/null", O_RDONLY), F_DUPFD, 10);
  ASSERT_GE(leak, 10);
  ASSERT_TRUE(
      StartPlayer(*processes, testing::TestProgram("argv_recorder").string(), "a  b").started);
  Record record = TakeRecord();
  close(leak);
  EXPECT_EQ(record.args, (Args{"a", "b"}));
  EXPECT_EQ(record.env, "inherited value");
  EXPECT_EQ(fs::path(record.cwd), fs::current_path());
  for (int fd : record.fds) EXPECT_LE(fd, 2) << "descriptor " << fd << " was inherited";

  // The player is not our child, and nothing of the start is left for us to reap.
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(record.pid); }));
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

// Whether `fd` is readable within `limit`.
bool Readable(int fd, std::chrono::milliseconds limit) {
  pollfd ready{fd, POLLIN, 0};
  return poll(&ready, 1, static_cast<int>(limit.count())) == 1 && (ready.revents & POLLIN) != 0;
}

// The children of this process that have ended and were not reaped.
int Zombies() {
  int zombies = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string stat = testing::ReadFileText(entry.path() / "stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int parent = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        parent == getpid() && state == 'Z') {
      ++zombies;
    }
  }
  return zombies;
}

TEST_F(StartPlayerTest, AStartedPlayerIsWatchedUntilItEndsWithoutWaitingOrZombies) {
  // A player that runs a second: its end signal is not ready while it runs, and becomes
  // ready once it has ended; the signal is not handed to players started meanwhile.
  setenv("QUORVEL_ARGV_LINGER", "1", 1);
  const StartResult lingering =
      StartPlayer(*processes, testing::TestProgram("argv_recorder").string(), "first");
  unsetenv("QUORVEL_ARGV_LINGER");
  ASSERT_TRUE(lingering.started);
  ASSERT_NE(lingering.program, nullptr);
  const Record first = TakeRecord();
  EXPECT_FALSE(lingering.program->HasEnded());
  EXPECT_FALSE(Readable(static_cast<int>(lingering.program->EndSignal()), 0ms));
  const StartResult second =
      StartPlayer(*processes, testing::TestProgram("argv_recorder").string(), "second");
  ASSERT_TRUE(second.started);
  for (int fd : TakeRecord().fds) EXPECT_LE(fd, 2) << "descriptor " << fd << " was inherited";
  EXPECT_TRUE(Readable(static_cast<int>(lingering.program->EndSignal()), 10s));
  EXPECT_TRUE(lingering.program->HasEnded());
  EXPECT_FALSE(testing::IsRunning(first.pid));

  // Players that end at once, even before their signal is taken, are seen to end too.
  std::vector<StartResult> quick;
  for (int i = 0; i < 20; ++i) {
    quick.push_back(StartPlayer(*processes, "/bin/true", ""));
    ASSERT_TRUE(quick.back().started);
    ASSERT_NE(quick.back().program, nullptr);
  }
  for (StartResult& result : quick) {
    EXPECT_TRUE(Readable(static_cast<int>(result.program->EndSignal()), 10s));
    EXPECT_TRUE(result.program->HasEnded());
  }
  // Nothing was left to reap, and no child of ours waits as a zombie.
  EXPECT_EQ(Zombies(), 0);
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  // A start that fails hands out nothing to watch.
  const StartResult failed = StartPlayer(*processes, "/nonexistent/player", "");
  EXPECT_FALSE(failed.started);
  EXPECT_EQ(failed.program, nullptr);
}

TEST_F(StartPlayerTest, ProgramsThatCannotRunAreReported) {
  const fs::path notExecutable = folder.path() / "not-executable";
  testing::CopyProgram(testing::TestProgram("argv_recorder"), notExecutable);
  fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
  struct Case {
    std::string line;
    int error;  // errno value whose text the result carries
  };
  const std::vector<Case> cases = {
      {"\"/nonexistent/player\" x", ENOENT},
      {"\"" + notExecutable.string() + "\" x", EACCES},
      {"\"" + folder.path().string() + "\" x", EACCES},
      {"\"\" x", ENOENT},
      {"\"no-such-player-anywhere\" x", ENOENT},
      {std::string("\"/bin/true\" a\0b", 16), EINVAL},
  };
  for (const auto& c : cases) {
    StartResult result = processes->Start(c.line);
    EXPECT_FALSE(result.started) << c.line;
    EXPECT_EQ(result.error, std::strerror(c.error)) << c.line;
  }
  const StartResult missing = StartPlayer(*processes, "/nonexistent/player", "%f");
  EXPECT_FALSE(missing.started);
  EXPECT_EQ(missing.error, "No such file or directory");
  // A quote in the path would end the quoted program name early and start another
  // program (here the recorder, with "x" before the arguments): nothing is started.
  const std::string recorder = testing::TestProgram("argv_recorder").string();
  const StartResult quoted = StartPlayer(*processes, recorder + "\" \"x", "a");
  EXPECT_FALSE(quoted.started);
  EXPECT_EQ(quoted.error, "its path holds a double quote");
  EXPECT_FALSE(fs::exists(recordPath));

  // A bare program name is looked for on the search path.
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", (path + ":" + testing::TestProgram("").string()).c_str(), 1);
  EXPECT_TRUE(processes->Start("argv_recorder found").started);
  EXPECT_EQ(TakeRecord().args, Args{"found"});
}

TEST_F(StartPlayerTest, FindProgramNamesTheFileThatStartWouldRun) {
  // Three folders on the search path: a file that cannot be run and a folder of the
  // name come first and are passed over, as Start passes over them.
  const fs::path plain = folder.path() / "plain";
  const fs::path folders = folder.path() / "folders";
  const fs::path programs = folder.path() / "programs";
  for (const fs::path& at : {plain, folders, programs}) fs::create_directories(at);
  testing::CopyProgram(testing::TestProgram("argv_recorder"), plain / "player");
  fs::permissions(plain / "player", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directories(folders / "player");
  testing::CopyProgram(testing::TestProgram("argv_recorder"), programs / "player");
  const char* saved = std::getenv("PATH");
  const std::string savedPath = saved != nullptr ? saved : "";
  setenv("PATH", (plain.string() + ":" + folders.string() + ":" + programs.string()).c_str(), 1);
  EXPECT_EQ(processes->FindProgram("player"), (programs / "player").string());
  EXPECT_TRUE(processes->Start("player found").started);
  EXPECT_EQ(TakeRecord().args, Args{"found"});
  EXPECT_EQ(processes->FindProgram("no-such-player"), "");
  EXPECT_EQ(processes->FindProgram(""), "");
  // A name with a folder is no name to look for.
  EXPECT_EQ(processes->FindProgram("programs/player"), "");
  EXPECT_EQ(processes->FindProgram((programs / "player").string()), "");

  // An empty entry is the current folder; the path found holds that folder, so that it
  // names the same file from anywhere.
  const fs::path before = fs::current_path();
  fs::current_path(programs);
  setenv("PATH", (plain.string() + "::").c_str(), 1);
  EXPECT_EQ(processes->FindProgram("player"), (programs / "player").string());
  fs::current_path(before);
  setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(StartPlayerTest, TheProcessListShowsExecutablesByTheirFullPath) {
  const fs::path copy = folder.path() / "launcher folder" / "a-launcher-name-longer-than-15";
  testing::CopyProgram(testing::TestProgram("argv_recorder"), copy);
  setenv("QUORVEL_ARGV_LINGER", "30", 1);
  ASSERT_TRUE(processes->Start("\"" + copy.string() + "\"").started);
  unsetenv("QUORVEL_ARGV_LINGER");
  const unsigned pid = TakeRecord().pid;
  fs::remove(copy);  // a removed executable keeps its path

  ProcessList list;
  ASSERT_TRUE(BuildProcessList(*processes, list));
  const ProcessEntry* self = nullptr;
  const ProcessEntry* launcher = nullptr;
  for (const auto& entry : list) {
    if (entry.process.processId == processes->CurrentProcessId()) self = &entry;
    if (entry.process.processId == pid) launcher = &entry;
  }
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(self->modulePath, fs::read_symlink("/proc/self/exe").string());
  ASSERT_NE(launcher, nullptr);
  EXPECT_EQ(launcher->moduleName, "a-launcher-name-longer-than-15");
  EXPECT_EQ(launcher->modulePath, copy.string());
  EXPECT_EQ(launcher->window, kNoWindow);

  // The single-instance test finds the other copy, never this process.
  EXPECT_TRUE(FindOtherInstance(list, "A-LAUNCHER-NAME-LONGER-THAN-15", getpid()));
  EXPECT_FALSE(FindOtherInstance(list, "a-launcher-name-longer-than-15", pid));
  EXPECT_FALSE(FindOtherInstance(list, self->moduleName + "-copy", getpid()));

  EXPECT_TRUE(processes->Terminate(pid));
  EXPECT_TRUE(testing::WaitFor([&] { return !testing::IsRunning(pid); }));
  EXPECT_FALSE(processes->Terminate(0));
  EXPECT_FALSE(processes->Terminate(kNoProcessId));
}

}  // namespace
}  // namespace quorvel

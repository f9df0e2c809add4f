#include <gtest/gtest.h>

#include "platform/fake/fake_volumes.h"
#include "platform/fake/recording_processes.h"
#include "platform/native_path.h"
#include "playback/launchers.h"
#include "playback/process_list.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

using testing::At;
using Ids = std::vector<ProcessId>;
using Windows = std::vector<WindowHandle>;

TEST(ProcessListTest, ResolvesModulesByTheEndOfTheExecutableName) {
  RecordingProcesses processes;
  processes.processes = {
      {10, "LAUNCH.EXE", "launch.exe", "/media/cd/launch.exe", {100}},
      {11, "xlaunch", "launch", "/opt/launch", {}},
      {12, "lau", "launch", "/opt/launch", {}},  // module name longer: no match
      {13, "kworker/0:1", "", "", {}},           // executable cannot be read
  };
  ProcessList list;
  ASSERT_TRUE(BuildProcessList(processes, list));
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].moduleName, "launch.exe");
  EXPECT_EQ(list[0].modulePath, "/media/cd/launch.exe");
  EXPECT_EQ(list[0].window, 100u);
  EXPECT_EQ(list[1].modulePath, "/opt/launch");
  EXPECT_EQ(list[1].window, kNoWindow);
  EXPECT_EQ(list[2].moduleName, "lau");
  EXPECT_EQ(list[2].modulePath, "lau");
  EXPECT_EQ(list[3].moduleName, "kworker/0:1");
  EXPECT_EQ(list[3].modulePath, "kworker/0:1");

  ProcessEntry reset;
  EXPECT_EQ(reset.process.processId, kNoProcessId);

  processes.snapshotFails = true;
  ProcessList none;
  EXPECT_FALSE(BuildProcessList(processes, none));
  EXPECT_TRUE(none.empty());
}

TEST(CloseProcessTest, AsksEachWindowInTurnAndEndsAProcessThatStays) {
  RecordingProcesses processes;
  processes.processes = {
      {20, "obeys", "obeys", "/d/obeys", {200}},
      {21, "two", "two", "/d/two", {210, 211}},
      {22, "stays", "stays", "/d/stays", {220}, 1000},
      {23, "hidden", "hidden", "/d/hidden", {}},
      {24, "stuck", "stuck", "/d/stuck", {240}, 1000, false},
  };
  auto entry = [&](ProcessId id) {
    ProcessEntry e;
    e.process = {id, processes.Find(id)->exeFile};
    FindProcessWindow(processes, e);
    return e;
  };

  ProcessEntry obeys = entry(20);
  EXPECT_TRUE(CloseProcess(processes, obeys));
  EXPECT_EQ(processes.closeRequests, (Windows{200}));

  ProcessEntry two = entry(21);
  EXPECT_TRUE(CloseProcess(processes, two));
  EXPECT_EQ(processes.closeRequests, (Windows{200, 210, 211}));

  ProcessEntry stays = entry(22);
  EXPECT_TRUE(CloseProcess(processes, stays));
  EXPECT_EQ(processes.requestsSeen[220], kCloseAttempts);
  EXPECT_EQ(processes.terminated, (Ids{22}));
  for (auto timeout : processes.timeouts) EXPECT_EQ(timeout, kCloseTimeout);

  // No window: nothing is asked, nothing is ended, and it counts as closed.
  ProcessEntry hidden = entry(23);
  EXPECT_TRUE(CloseProcess(processes, hidden));
  EXPECT_EQ(processes.terminated, (Ids{22}));
  EXPECT_NE(processes.Find(23), nullptr);

  ProcessEntry stuck = entry(24);
  EXPECT_FALSE(CloseProcess(processes, stuck));
  EXPECT_EQ(processes.terminated, (Ids{22, 24}));
}

TEST(CloseLaunchersTest, ClosesOnlyProcessesInTheDiskFolderAndNeverItself) {
  // The medium in the drive "dev/sr0" is reached at "media/cd", also through the link
  // "cdlink"; "media/cdrom" is another folder, and the root holds the whole tree. Paths
  // are the platform's own, with its separator.
  const std::string root(1, NativeSeparator());
  const std::string cd = At(root, "media/cd");
  const std::string device = At(root, "dev/sr0");
  const std::string link = At(root, "cdlink");
  const std::string empty = At(root, "dev/sr1");
  FakeVolumes volumes;
  volumes.Insert(root, "SYSTEM", root);
  volumes.Insert(device, "CD", cd);
  volumes.Insert(cd, "CD");
  volumes.Insert(link, "CD", cd);
  volumes.AddDrive(empty);
  RecordingProcesses processes;
  processes.self = 5;
  processes.processes = {
      {5, "quorvel", "quorvel", At(cd, "quorvel"), {50}},  // this program, run from the disk
      {30, "launch", "launch", At(cd, "autorun/launch"), {300}},
      {31, "LAUNCH2", "LAUNCH2", At(root, "MEDIA/CD/LAUNCH2"), {310}},
      {32, "x", "x", At(root, "media/cdrom/x"), {320}},
      {33, "player", "player", At(root, "usr/bin/player"), {330}},
      {34, "launch", "", "", {340}},  // unresolved: a bare name never matches
      {35, "cd", "cd", cd, {350}},
  };

  // No disk folder (no path, an empty drive), a folder without launchers, or the root of
  // the whole tree, which holds every program: nothing.
  for (const std::string& path : {std::string(), empty, At(cd, "autorun/x"), root, root + root}) {
    EXPECT_TRUE(FindLaunchers(processes, volumes, path).empty()) << path;
    CloseLaunchers(processes, volumes, path);
  }
  EXPECT_TRUE(processes.closeRequests.empty());

  // The folder as typed, through a link, and the drive's device: the same processes.
  for (const std::string& path : {cd + root, link, device}) {
    Ids ids;
    for (const auto& e : FindLaunchers(processes, volumes, path))
      ids.push_back(e.process.processId);
    EXPECT_EQ(ids, (Ids{30, 31, 35})) << path;
  }

  CloseLaunchers(processes, volumes, device);
  EXPECT_EQ(processes.closeRequests, (Windows{300, 310, 350}));
  EXPECT_TRUE(processes.terminated.empty());
}

TEST(CloseLaunchersTest, MatchesWholePathComponentsWithEitherSeparator) {
  struct Case {
    std::string module;
    std::string disk;
    char separator;
    bool on;
  };
  const std::vector<Case> cases = {
      {R"(d:\autorun\launch.exe)", R"(D:\)", '\\', true},
      {R"(D:\x.exe)", "D:", '\\', true},
      {R"(E:\x.exe)", "D:", '\\', false},
      {R"(C:\Program Files\player.exe)", R"(D:\)", '\\', false},
      {R"(D:\films2\x.exe)", R"(D:\films)", '\\', false},
      {"/media/cd/x", "/media/cd", '/', true},
      {"/media/cd/x", "/media/cd//", '/', true},
      {"/media/cdrom/x", "/media/cd", '/', false},
      {"/media/c", "/media/cd", '/', false},
      {"launch", "", '/', false},
      {"", "", '/', false},
      {"/usr/bin/x", "/", '/', false},
      {"/x", "///", '/', false},
      {R"(D:\x.exe)", R"(\)", '\\', false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsOnDisk(c.module, c.disk, c.separator), c.on) << c.module << " on " << c.disk;
  }
}

TEST(SingleInstanceTest, FindsAnotherProcessOfTheSameExecutableName) {
  ProcessList list(3);
  list[0].process.processId = 7;
  list[0].moduleName = "Quorvel";
  list[1].process.processId = 8;
  list[1].moduleName = "quorvel-copy";
  list[2].process.processId = 9;
  list[2].moduleName = "QUORVEL";
  EXPECT_TRUE(FindOtherInstance(list, "quorvel", 7));
  list.pop_back();
  EXPECT_FALSE(FindOtherInstance(list, "quorvel", 7));
  EXPECT_FALSE(FindOtherInstance(list, "other", 7));

  RecordingProcesses processes;
  processes.self = 40;
  processes.processes = {{40, "quorvel", "quorvel", "/usr/bin/quorvel", {}},
                         {41, "quorvel", "quorvel", "/opt/quorvel", {}}};
  EXPECT_TRUE(AnotherInstanceRunning(processes));
  processes.processes.pop_back();
  EXPECT_FALSE(AnotherInstanceRunning(processes));
}

TEST(SingleInstanceTest, TheClaimDecidesAndTheProcessListOnlyWhereThereIsNoClaim) {
  RecordingProcesses processes;
  processes.self = 40;
  processes.processes = {{40, "quorvel", "Quorvel", "/usr/bin/Quorvel", {}},
                         {41, "quorvel", "quorvel", "/opt/quorvel", {}}};
  // Another process of the name does not count where the claim can be made: it may be
  // a zombie, another user's, or on another display.
  std::unique_ptr<InstanceClaim> first = ClaimSingleInstance(processes);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(processes.claimed, std::set<std::string>{"quorvel"});
  EXPECT_EQ(ClaimSingleInstance(processes), nullptr) << "held by the first";
  first.reset();
  EXPECT_NE(ClaimSingleInstance(processes), nullptr) << "given up with the first";

  processes.claimsPossible = false;
  EXPECT_EQ(ClaimSingleInstance(processes), nullptr) << "the process list then decides";
  processes.processes.pop_back();
  EXPECT_NE(ClaimSingleInstance(processes), nullptr);
}

}  // namespace
}  // namespace quorvel

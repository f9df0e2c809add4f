// Players and launchers through the Windows backend: real programs built for the
// target are started, listed, asked to close and ended.
#include "platform/win32/win32_processes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <thread>

#include "app/settings.h"
#include "platform/fake/fake_services.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_volumes.h"
#include "playback/launchers.h"
#include "playback/player_choice.h"
#include "playback/process_list.h"
#include "support/temp_dir.h"
#include "win32_test_support.h"
#include "windows_rules/ascii.h"
#include "windows_rules/disk_names.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::RunProgram;
using testing::WinPath;
using Args = std::vector<std::string>;

struct Record {
  std::string commandLine;
  Args args;  // argv[0] included
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits until `condition` holds, at most `limit`.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The recorder's record, when `bytes` holds a whole one: "LENGTH:BYTES\n" for the number
// of arguments, the command line, then each argument.
std::optional<Record> ParseRecord(const std::string& bytes) {
  std::vector<std::string> items;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t colon = bytes.find(':', at);
    if (colon == std::string::npos || colon == at || colon - at > 9) return std::nullopt;
    const std::string length = bytes.substr(at, colon - at);
    if (length.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const std::size_t size = std::stoul(length);
    if (colon + 1 + size >= bytes.size() || bytes[colon + 1 + size] != '\n') return std::nullopt;
    items.push_back(bytes.substr(colon + 1, size));
    at = colon + 1 + size + 1;
  }
  if (items.size() < 2 || items.front() != std::to_string(items.size() - 2)) return std::nullopt;
  Record record;
  record.commandLine = items[1];
  record.args.assign(items.begin() + 2, items.end());
  return record;
}

// Waits for the recorder's file at `path` and takes it away.
std::optional<Record> TakeRecord(const fs::path& path) {
  std::optional<Record> record;
  WaitFor([&] {
    std::error_code error;
    if (!fs::exists(path, error)) return false;
    record = ParseRecord(ReadAll(path));
    return record.has_value();
  });
  std::error_code ignored;
  fs::remove(path, ignored);
  return record;
}

// The file names that try to break out of their argument (those of the Linux backend's
// player tests, on drive D:): quotes, backslashes before quotes and at the end, blanks
// and tabs, the characters cmd.exe and the template treat specially, a line end,
// Windows-1252 bytes, a name that is all quotes and options, and one longer than
// MAX_PATH.
const std::vector<std::string> kHostileNames = {
    "plain.avi",
    "with \"quotes\" inside.avi",
    "back\\slash\\\\\"quote.avi",
    "trailing backslash\\",
    "blanks  and\ttab.avi",
    "100% & %f percent.avi",
    "new\nline.avi",
    "caf\xE9 \x93win1252\x94.avi",
    "\" --fs \"",
    std::string(300, 'x') + ".avi",
};

// Command-line templates, with the arguments the player must get for the file `f`.
struct Template {
  std::string text;
  std::function<Args(const std::string& f)> expected;
};
const std::vector<Template> kTemplates = {
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

class Win32ProcessesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recordPath_ = folder_.path() / "record";
    ::SetEnvironmentVariableA("QUORVEL_WIN_RECORD", WinPath(recordPath_.string()).c_str());
    // The player lies in a folder whose name needs quoting and holds "%f".
    recorder_ = folder_.path() / "my player %f & co" / "recorder.exe";
    fs::create_directories(recorder_.parent_path());
    fs::copy_file(QUORVEL_WIN_RECORDER, recorder_);
  }
  void TearDown() override { ::SetEnvironmentVariableA("QUORVEL_WIN_RECORD", nullptr); }

  quorvel::testing::TempDir folder_;
  fs::path recordPath_;
  fs::path recorder_;
  Win32Processes processes_;
};

TEST_F(Win32ProcessesTest, PlayerGetsTheComposedCommandLineAndEachFileAsOneArgument) {
  const std::string player = WinPath(recorder_.string());
  Settings settings;
  settings.DivXPlayer = "recorder";
  // The real processes service; the rest of the seam is fake.
  FakeServices fake;
  const Services services{fake.files,    fake.volumes,  processes_,        fake.system,
                          fake.registry, fake.messages, fake.privateFiles, fake.diskEvents};
  std::vector<std::string> files;
  for (const std::string& name : kHostileNames) files.push_back("D:\\" + name);
  for (const auto& [text, expected] : kTemplates) {
    settings.Players = {{"recorder", player, text, PlaylistType::NoPlaylist}};
    settings.DivXCommandLine = text;
    for (const std::string& f : files) {
      SCOPED_TRACE(text + " / " + f);
      ASSERT_TRUE(PlayMovie(services, settings, Movie(MovieType::DivX, "title", f, fake.files)));
      const std::optional<Record> record = TakeRecord(recordPath_);
      ASSERT_TRUE(record.has_value()) << "the player did not start";
      // Exactly the line that was composed reaches the program...
      EXPECT_EQ(record->commandLine,
                ComposeCommandLine(player, BuildArguments(settings.Players.front(), f)));
      // ...and its C runtime splits the file back out as one argument.
      ASSERT_FALSE(record->args.empty());
      EXPECT_EQ(Args(record->args.begin() + 1, record->args.end()), expected(f));
    }
  }
  EXPECT_TRUE(fake.messages.messages.empty());
}

TEST_F(Win32ProcessesTest, QuorvelctlPlayStartsThePlayerOfEachMovieOnADisk) {
  // Names Windows allows that a command line must still protect.
  const std::vector<std::string> names = {"100% & %f percent.avi", "blanks  and ^ (x)'s.avi",
                                          "caf\xE9 \x93win1252\x94.avi", "plain.avi"};
  const fs::path disk = folder_.path() / "disk";
  fs::create_directories(disk);
  const std::string diskPath = WinPath(disk.string());
  for (const std::string& name : names) {
    HANDLE file = ::CreateFileA((diskPath + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    ::CloseHandle(file);
  }
  testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
  Win32Registry registry;
  Settings settings;
  // Loading first makes the store's keys, as the program's start does.
  ASSERT_TRUE(settings.Load(registry));
  settings.DivXPlayer = "recorder";
  settings.DivXCommandLine = "-fs \"%f\"";
  settings.Players = {{"recorder", WinPath(recorder_.string()), settings.DivXCommandLine,
                       PlaylistType::NoPlaylist}};
  ASSERT_TRUE(settings.Save(registry));

  std::set<std::string> played;
  for (std::size_t movie = 1; movie <= names.size(); ++movie) {
    const auto run = RunProgram("\"" + WinPath(QUORVEL_QUORVELCTL) + "\" play \"" + diskPath +
                                "\" --movie " + std::to_string(movie));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const std::optional<Record> record = TakeRecord(recordPath_);
    ASSERT_TRUE(record.has_value()) << run.output;
    ASSERT_EQ(record->args.size(), 3u) << record->commandLine;
    EXPECT_EQ(record->args[1], "-fs");
    const std::string& file = record->args[2];
    EXPECT_EQ(record->commandLine,
              ComposeCommandLine(WinPath(recorder_.string()),
                                 BuildArguments(settings.Players.front(), file)));
    played.insert(file);
  }
  std::set<std::string> expected;
  for (const std::string& name : names) expected.insert(diskPath + "\\" + name);
  EXPECT_EQ(played, expected);
  testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
}

TEST_F(Win32ProcessesTest, QuorvelctlPlayHandsEveryHostileNameToThePlayerAsOneArgument) {
  // No Windows file name holds most of these characters, so the disk names its movies
  // in its configuration.ini, each value in quotes, which the reader takes off. Only
  // the name with a line end cannot be written there (a line end ends the value), and
  // the trailing backslash is taken off with the empty last component of the name:
  // both stay covered by the test above, which hands the names over directly.
  const fs::path disk = folder_.path() / "hostile";
  fs::create_directories(disk);
  const std::string diskPath = WinPath(disk.string());
  std::string ini = "[Movies]\r\n";
  std::vector<std::string> names;
  for (const std::string& name : kHostileNames) {
    if (name.find('\n') != std::string::npos) continue;
    ini += "Movie " + std::to_string(names.size() + 1) + "=\"" + name + "\"\r\n";
    names.push_back(name);
  }
  {
    std::ofstream out(disk / "configuration.ini", std::ios::binary);
    out << ini;
  }
  // The file each movie must reach the player as: the disk's folder, then the name,
  // its backslashes separating folders (empty components dropped).
  std::vector<std::string> expectedFiles;
  for (const std::string& name : names) {
    std::string file = diskPath;
    for (std::string_view component : SplitDiskName(name)) {
      file += "\\";
      file += component;
    }
    expectedFiles.push_back(file);
  }

  const std::string player = WinPath(recorder_.string());
  for (const Template& t : kTemplates) {
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
    Win32Registry registry;
    Settings settings;
    ASSERT_TRUE(settings.Load(registry));
    settings.DivXPlayer = "recorder";
    settings.DivXCommandLine = t.text;
    settings.Players = {{"recorder", player, t.text, PlaylistType::NoPlaylist}};
    ASSERT_TRUE(settings.Save(registry));
    for (std::size_t movie = 0; movie < names.size(); ++movie) {
      const std::string& file = expectedFiles[movie];
      SCOPED_TRACE(t.text + " / " + file);
      const auto run = RunProgram("\"" + WinPath(QUORVEL_QUORVELCTL) + "\" play \"" + diskPath +
                                  "\" --movie " + std::to_string(movie + 1));
      ASSERT_EQ(run.exitCode, 0u) << run.output;
      const std::optional<Record> record = TakeRecord(recordPath_);
      ASSERT_TRUE(record.has_value()) << run.output;
      EXPECT_EQ(record->commandLine,
                ComposeCommandLine(player, BuildArguments(settings.Players.front(), file)));
      ASSERT_FALSE(record->args.empty());
      EXPECT_EQ(Args(record->args.begin() + 1, record->args.end()), t.expected(file));
    }
  }
  testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
}

TEST_F(Win32ProcessesTest, StartFailuresSayWhy) {
  // The reasons are the system's own texts, shown after "Cannot start PROGRAM: ".
  const StartResult missing = StartPlayer(processes_, "C:\\no\\such\\player.exe", "%f");
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_NE(missing.error.back(), '\n');
  const StartResult nul = processes_.Start(std::string("\"C:\\x.exe\" a\0b", 14));
  EXPECT_FALSE(nul.started);
  EXPECT_EQ(nul.error, "The command line holds a NUL byte");
  EXPECT_FALSE(processes_.Start("").started);
}

// One program with a window, started for a test and ended with it.
class WindowProgram {
 public:
  WindowProgram(const fs::path& exe, const char* mode, fs::path state) : state_(std::move(state)) {
    std::string line =
        "\"" + WinPath(exe.string()) + "\" " + mode + " \"" + WinPath(state_.string()) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
      ::CloseHandle(info.hThread);
      process_ = info.hProcess;
    }
  }
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;
  ~WindowProgram() {
    if (process_ == nullptr) return;
    ::TerminateProcess(process_, 1);
    ::WaitForSingleObject(process_, 5000);
    ::CloseHandle(process_);
  }

  bool WaitReady() const {
    return process_ != nullptr && WaitFor([&] { return Count("ready") == 1; });
  }
  bool Running() const { return ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  bool WaitEnded() const { return ::WaitForSingleObject(process_, 10000) == WAIT_OBJECT_0; }
  // How many lines `word` the program wrote to its state file.
  int Count(const std::string& word) const {
    std::ifstream in(state_);
    int count = 0;
    for (std::string line; std::getline(in, line);) count += line == word ? 1 : 0;
    return count;
  }

 private:
  fs::path state_;
  HANDLE process_ = nullptr;
};

TEST_F(Win32ProcessesTest, LaunchersOnTheDiskAreClosedOrEndedAndNothingElseIsTouched) {
  const fs::path disk = folder_.path() / "disk";
  fs::create_directories(disk / "autorun");
  fs::create_directories(folder_.path() / "elsewhere");
  fs::copy_file(QUORVEL_WIN_WINDOW, disk / "autorun" / "launch.exe");
  fs::copy_file(QUORVEL_WIN_WINDOW, disk / "AUTORUN" / "stubborn.exe");
  fs::copy_file(QUORVEL_WIN_WINDOW, folder_.path() / "elsewhere" / "launch.exe");
  // The closing program itself runs from the disk and must not close itself.
  fs::copy_file(QUORVEL_QUORVELCTL, disk / "quorvelctl.exe");

  WindowProgram polite(disk / "autorun" / "launch.exe", "close", folder_.path() / "polite");
  WindowProgram stubborn(disk / "autorun" / "stubborn.exe", "ignore", folder_.path() / "stubborn");
  WindowProgram outside(folder_.path() / "elsewhere" / "launch.exe", "ignore",
                        folder_.path() / "outside");
  ASSERT_TRUE(polite.WaitReady());
  ASSERT_TRUE(stubborn.WaitReady());
  ASSERT_TRUE(outside.WaitReady());

  // The process list sees each launcher with its full path and its window.
  ProcessList list;
  ASSERT_TRUE(BuildProcessList(processes_, list));
  int seen = 0;
  for (const ProcessEntry& entry : list) {
    if (EqualsIgnoringAsciiCase(entry.modulePath,
                                WinPath((disk / "autorun" / "launch.exe").string()))) {
      ++seen;
      EXPECT_EQ(entry.moduleName, "launch.exe");
      EXPECT_NE(entry.window, kNoWindow);
    }
  }
  EXPECT_EQ(seen, 1);

  // Run from the disk, the closing program lists both launchers and not itself or the
  // copy outside; had it ended itself, its own line would be missing and the run cut off.
  const std::string closer = "\"" + WinPath((disk / "quorvelctl.exe").string()) +
                             "\" close-launchers \"" + WinPath(disk.string()) + "\"";
  const auto dryRun = RunProgram(closer + " --dry-run");
  ASSERT_EQ(dryRun.exitCode, 0u) << dryRun.output;
  EXPECT_EQ(std::count(dryRun.output.begin(), dryRun.output.end(), '\n'), 2) << dryRun.output;
  EXPECT_NE(dryRun.output.find("launch.exe"), std::string::npos) << dryRun.output;
  EXPECT_NE(dryRun.output.find("stubborn.exe"), std::string::npos) << dryRun.output;
  EXPECT_EQ(dryRun.output.find("quorvelctl.exe"), std::string::npos) << dryRun.output;
  EXPECT_EQ(polite.Count("close"), 0);

  const auto run = RunProgram(closer);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 2) << run.output;

  EXPECT_TRUE(polite.WaitEnded()) << run.output;
  EXPECT_EQ(polite.Count("close"), 1);
  EXPECT_TRUE(stubborn.WaitEnded()) << run.output;
  EXPECT_EQ(stubborn.Count("close"), kCloseAttempts);
  EXPECT_TRUE(outside.Running());
  EXPECT_EQ(outside.Count("close"), 0);
  // quorvelctl ended by itself, having closed two launchers and not itself.
  EXPECT_EQ(run.output.find("quorvelctl.exe"), std::string::npos) << run.output;
}

// A started player is watched through its process handle: signalled once it has ended,
// whichever way it ends, and never while it runs.
TEST_F(Win32ProcessesTest, AStartedPlayerIsWatchedUntilItEnds) {
  const StartResult recorded = StartPlayer(processes_, WinPath(recorder_.string()), "x");
  ASSERT_TRUE(recorded.started) << recorded.error;
  ASSERT_NE(recorded.program, nullptr);
  ASSERT_TRUE(TakeRecord(recordPath_).has_value());
  EXPECT_TRUE(WaitFor([&] { return recorded.program->HasEnded(); }));
  const auto handle =
      reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(recorded.program->EndSignal()));
  EXPECT_EQ(::WaitForSingleObject(handle, 0), WAIT_OBJECT_0);

  const fs::path window = folder_.path() / "window.exe";
  fs::copy_file(QUORVEL_WIN_WINDOW, window);
  const fs::path state = folder_.path() / "window-state";
  const StartResult running = StartPlayer(processes_, WinPath(window.string()),
                                          "ignore \"" + WinPath(state.string()) + "\"");
  ASSERT_TRUE(running.started) << running.error;
  ASSERT_NE(running.program, nullptr);
  EXPECT_TRUE(WaitFor([&] {
    std::ifstream in(state);
    std::string line;
    return std::getline(in, line) && line == "ready";
  }));
  EXPECT_FALSE(running.program->HasEnded());
  ProcessList list;
  ASSERT_TRUE(BuildProcessList(processes_, list));
  for (const ProcessEntry& entry : list) {
    if (EqualsIgnoringAsciiCase(entry.modulePath, WinPath(window.string()))) {
      EXPECT_TRUE(processes_.Terminate(entry.process.processId));
    }
  }
  EXPECT_TRUE(WaitFor([&] { return running.program->HasEnded(); }));
}

// Player detection asks where a program name would be found: a name on the system's
// search path gives its whole file name, an unknown name and a name with a folder nothing.
TEST(Win32FindProgram, NamesTheFileStartWouldRunAndNothingForNamesWithAFolder) {
  Win32Processes processes;
  const std::string cmd = processes.FindProgram("cmd");
  ASSERT_FALSE(cmd.empty());
  EXPECT_TRUE(EqualsIgnoringAsciiCase(fs::path(cmd).filename().string(), "cmd.exe")) << cmd;
  EXPECT_TRUE(fs::exists(cmd)) << cmd;
  EXPECT_EQ(processes.FindProgram("cmd.exe"), cmd);
  EXPECT_EQ(processes.FindProgram("no-such-player-anywhere"), "");
  EXPECT_EQ(processes.FindProgram(""), "");
  EXPECT_EQ(processes.FindProgram(cmd), "");
  EXPECT_EQ(processes.FindProgram("system32\\cmd.exe"), "");
}

// Starts the single-instance child `exe` holding its claim for `holdMs`; its process
// handle, or null.
HANDLE StartInstanceChild(const fs::path& exe, int holdMs) {
  std::string line = "\"" + WinPath(exe.string()) + "\" " + std::to_string(holdMs);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  return info.hProcess;
}

// Waits for the process to end and closes its handle; its exit code, or -1.
int EndOf(HANDLE process) {
  if (process == nullptr) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
  ::CloseHandle(process);
  return static_cast<int>(code);
}

TEST(Win32SingleInstance, OfTwoCopiesStartedTogetherExactlyOneRuns) {
  const fs::path child = QUORVEL_INSTANCE_CHILD;
  constexpr int kPairs = 8;
  int exactlyOne = 0;
  for (int pair = 0; pair < kPairs; ++pair) {
    HANDLE a = StartInstanceChild(child, 1500);
    HANDLE b = StartInstanceChild(child, 1500);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    std::multiset<int> ends{EndOf(a), EndOf(b)};
    EXPECT_EQ(ends, (std::multiset<int>{0, 3})) << "pair " << pair;
    if (ends == std::multiset<int>{0, 3}) ++exactlyOne;
  }
  std::printf("%d pairs started together: exactly one copy ran in %d\n", kPairs, exactlyOne);

  // An ended copy holds nothing: the next one runs.
  EXPECT_EQ(EndOf(StartInstanceChild(child, 0)), 0);
  EXPECT_EQ(EndOf(StartInstanceChild(child, 0)), 0);

  // A copy under another file name is another program.
  testing::TempDir dir;
  const fs::path renamed = dir.path() / "other_instance_child.exe";
  fs::copy_file(child, renamed);
  HANDLE first = StartInstanceChild(child, 1500);
  HANDLE other = StartInstanceChild(renamed, 1500);
  EXPECT_EQ(EndOf(first), 0);
  EXPECT_EQ(EndOf(other), 0);
}

}  // namespace
}  // namespace quorvel

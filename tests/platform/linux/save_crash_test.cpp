// A process that saves the settings over and over is killed with SIGKILL at random
// moments; after every kill the store file must parse and hold one whole generation,
// never parts of two.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "platform/fake/recording_messages.h"
#include "platform/linux/file_registry.h"
#include "registry_store/regedit_file.h"
#include "save_generation.h"
#include "support/temp_dir.h"

extern char** environ;

namespace quorvel {
namespace {

constexpr int kKills = 250;
// The child is first let run to measure how long it takes to its first save and how
// long each save takes here (a loaded machine is slower); the kills then come at random
// moments over the first few saves of each child.
constexpr auto kCalibrationLimit = std::chrono::seconds(20);
constexpr std::uint32_t kCalibrationSaves = 10;
constexpr int kSavesPerChild = 4;

pid_t StartChild(const std::string& configHome) {
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + configHome, "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& each : env) envp.push_back(each.data());
  envp.push_back(nullptr);
  std::string program = QUORVEL_SAVE_LOOP_CHILD;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

std::uint32_t StoredGeneration(const std::filesystem::path& file) {
  RecordingMessages messages;
  FileRegistry registry(file, messages);
  Settings settings;
  settings.Load(registry);
  return settings.MinFileSize;
}

TEST(StoreFileCrash, AKilledSaveLeavesTheOldOrTheNewSettingsNeverAMix) {
  // Calibration: how long a child takes to its first save, and how long each save takes.
  using Clock = std::chrono::steady_clock;
  std::chrono::microseconds firstSave{};
  std::chrono::microseconds saveTime{};
  {
    testing::TempDir calibration;
    const auto calibrationFile = calibration.path() / "quorvel" / "registry.reg";
    const auto generation = [&] {
      return std::filesystem::exists(calibrationFile) ? StoredGeneration(calibrationFile) : 0u;
    };
    const auto start = Clock::now();
    const pid_t child = StartChild(calibration.path().string());
    ASSERT_GT(child, 0);
    while (generation() == 0 && Clock::now() - start < kCalibrationLimit) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const auto first = Clock::now();
    std::uint32_t saves = 0;
    while ((saves = generation()) < kCalibrationSaves && Clock::now() - start < kCalibrationLimit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto last = Clock::now();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_GT(saves, 1u) << "the child hardly saved";
    firstSave = std::chrono::duration_cast<std::chrono::microseconds>(first - start);
    saveTime = std::chrono::duration_cast<std::chrono::microseconds>(last - first) / (saves - 1);
  }

  testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "quorvel" / "registry.reg";
  std::mt19937 random(12345);
  std::uniform_int_distribution<std::int64_t> delay(
      0, firstSave.count() + saveTime.count() * kSavesPerChild);
  std::uint32_t last = 0;
  int stored = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = StartChild(dir.path().string());
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, status " << status;

    if (!std::filesystem::exists(file)) {
      ASSERT_EQ(last, 0u) << "the store file vanished after kill " << kill;
      continue;
    }
    const std::string text = testing::ReadFileBytes(file);
    KeyTree tree;
    const auto parsed = ParseRegeditFile(text, tree);
    ASSERT_TRUE(parsed.ok) << "kill " << kill << ", line " << parsed.line << ": " << parsed.reason;
    RecordingMessages messages;
    Settings settings;
    {
      FileRegistry registry(file, messages);
      ASSERT_TRUE(settings.Load(registry));
    }
    ASSERT_TRUE(messages.messages.empty());
    const std::uint32_t generation = settings.MinFileSize;
    ASSERT_GE(generation, last) << "kill " << kill;
    if (generation > 0) {
      const Settings expected = testing::Generation(generation);
      ASSERT_EQ(settings.DivXPlayer, expected.DivXPlayer) << "kill " << kill;
      ASSERT_EQ(settings.SvcdCommandLine, expected.SvcdCommandLine) << "kill " << kill;
      ASSERT_EQ(settings.FullScreen, expected.FullScreen) << "kill " << kill;
      ASSERT_EQ(settings.Players, expected.Players) << "kill " << kill;
      ASSERT_EQ(settings.Theme, expected.Theme) << "kill " << kill;
      ++stored;
    }
    last = generation;
  }
  // The kills must have hit saves, not only start-ups.
  EXPECT_GT(last, static_cast<std::uint32_t>(kKills / 4));
  EXPECT_GT(stored, kKills / 4);
  // Temporary files of killed writers are cleared by the next store that opens; the
  // store and its lock file stay.
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    entries.push_back(entry.path().filename().string());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
  std::printf("%d kills; first save after %lld us, then one per %lld us; last generation %u\n",
              kKills, static_cast<long long>(firstSave.count()),
              static_cast<long long>(saveTime.count()), last);
}

}  // namespace
}  // namespace quorvel

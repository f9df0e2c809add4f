// Ten thousand poll ticks as fast as the rules run them, with disks coming, changing and
// going, keys and relayouts between them. Run under AddressSanitizer (QUORVEL_SANITIZE)
// it shows that nothing leaks or is used after it was freed; in any build, that the
// resident memory after the first thousand ticks grows by at most 1 MB.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/native_path.h"
#include "rules/screen/screen_fixture.h"

// Freed memory goes back at once instead of waiting in the sanitizer's quarantine, so that
// the resident size says what the program holds.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=1"; }

namespace quorvel {
namespace {

using testing::MoviesDisk;
using testing::ScreenFixture;

constexpr int kTicks = 10000;
constexpr int kSettleTicks = 1000;
constexpr double kGrowthLimitKb = 1024;

double ResidentKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr);
  }
  return 0;
}

TEST(ScreenSoakTest, TenThousandTicksWithDisksComingAndGoingHoldNoMoreMemory) {
  std::ifstream coverFile(QUORVEL_SOURCE_DIR "/samples/demo-disk/cover.jpg", std::ios::binary);
  const std::string cover((std::istreambuf_iterator<char>(coverFile)), {});
  ScreenFixture f;
  f.view.keepHistory = false;
  f.settings.Autoplay = 1;
  f.settings.CloseLaunch = 1;
  testing::Medium withCover = MoviesDisk("FILMS", 3, /*firstAudio=*/2);
  withCover.files.push_back({"cover.jpg", cover});
  const std::string films = f.Insert(withCover);
  const std::string single = f.Insert(MoviesDisk("", 1));
  const std::string empty = f.Insert({"NOTES", {{"readme.txt", "text"}}});
  f.Eject();
  // A launcher on the films disk, closed at every tick while that disk is in.
  f.processes.processes.push_back(
      {7, "setup", "setup", JoinNativePath(films, "setup"), {70}, 1 << 30, false});
  auto& rules = f.Start();

  double settled = 0;
  for (int tick = 0; tick < kTicks; ++tick) {
    switch (tick % 9) {
      case 0:
        f.Reinsert(films, "FILMS");
        break;
      case 2:
        f.Eject();
        break;
      case 3:
        f.Reinsert(single, "");
        break;
      case 5:
        f.Reinsert(films, "");  // another disk with the same label: not shown, but read
        break;
      case 6:
        f.Reinsert(empty, "NOTES", ScreenFixture::Drive::HardDisk);
        break;
      default:
        break;  // the same disk again
    }
    rules.OnTimer();
    if (tick % 40 == 1) {
      rules.OnMovieSelChange(1);
      rules.OnKey(screen::Key::P, screen::Focus::ChoiceList);
    }
    if (tick % 50 == 25)
      rules.OnSize(tick % 100 == 25 ? Rect{0, 0, 1920, 1080} : Rect{0, 0, 1280, 720});
    // What the recorders keep would grow for ever; the program keeps nothing of it.
    f.processes.started.clear();
    f.processes.closeRequests.clear();
    f.processes.timeouts.clear();
    f.processes.requestsSeen.clear();
    f.EndPlayers();
    if (tick + 1 == kSettleTicks) settled = ResidentKb();
  }
  const double growth = ResidentKb() - settled;
  RecordProperty("ResidentGrowthKb", std::to_string(growth));
  std::printf("resident after %d ticks: %.0f kB; after %d: %.0f kB (%+.0f kB)\n", kSettleTicks,
              settled, kTicks, settled + growth, growth);
  EXPECT_LE(growth, kGrowthLimitKb);
  EXPECT_TRUE(f.messages.messages.empty());
  EXPECT_TRUE(rules.HasCommands());
}

}  // namespace
}  // namespace quorvel
